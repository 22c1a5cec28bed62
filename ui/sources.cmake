list(APPEND VTX_CLIENT_SOURCES
    ui/ClickableLabel.cpp
    ui/HistoryItem.cpp
    ui/HistoryMeetings.cpp
    ui/MainWindow.cpp
    ui/JoinPage.cpp
    ui/JoinPage.h
    ui/MainWindowForm.cpp
    ui/MeetingsTab.cpp
    ui/MeetingsTab.h
    ui/MessageBox.cpp
    ui/ShellHost.h
    ui/SignInPages.cpp
    ui/SignInPages.h
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
