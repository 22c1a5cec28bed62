list(APPEND VTX_CLIENT_SOURCES
    ui/AboutDlg.cpp
    ui/AccountMenu.cpp
    ui/ClickableLabel.cpp
    ui/HistoryItem.cpp
    ui/HistoryMeetings.cpp
    ui/MainWindow.cpp
    ui/MainWindowForm.cpp
    ui/MeetingNumber.cpp
    ui/MessageBox.cpp
    ui/ModifyPassword.cpp
    ui/Styles.cpp
    ui/TipsDlg.cpp
    ui/UpgradeDlg.cpp
)
