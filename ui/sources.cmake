list(APPEND VTX_CLIENT_SOURCES
    ui/ClickableLabel.cpp
    ui/HistoryItem.cpp
    ui/HistoryMeetings.cpp
    ui/MainWindow.cpp
    ui/MainWindowForm.cpp
    ui/MeetingNumber.cpp
    ui/MessageBox.cpp
    ui/Styles.cpp
    ui/TipsDlg.cpp
    ui/schedule/Recurrence.cpp
    ui/schedule/Recurrence.h
)
