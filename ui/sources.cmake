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
)
list(APPEND VTX_CLIENT_SOURCES
    ui/invite/EmailInvite.cpp
    ui/invite/InviteDialog.cpp
    ui/invite/InvitePage.cpp
    ui/invite/InviteRequest.cpp
    ui/invite/QrImage.cpp
    ui/invite/UrlInvite.cpp
    ui/invite/WebBrowserBinding.cpp
    ui/invite/WeixinInvite.cpp
)
