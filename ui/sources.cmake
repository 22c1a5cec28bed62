# The main window's form with its look, and the pictures: a library of their own (vtx_ui_form) under
# the rest of the layer, so the start-up benchmark's baseline shows the very same form without the
# meeting SDK or the network.
set(VTX_UI_FORM_SOURCES
    ui/Accessible.cpp
    ui/ClickableLabel.cpp
    ui/MainWindowForm.cpp
    ui/RecordingsView.cpp
    ui/Styles.cpp
)
list(APPEND VTX_CLIENT_SOURCES
    ui/AboutDlg.cpp
    ui/AccountMenu.cpp
    ui/HistoryItem.cpp
    ui/HistoryMeetings.cpp
    ui/MainWindow.cpp
    ui/JoinPage.cpp
    ui/JoinPage.h
    ui/MeetingsTab.cpp
    ui/MeetingsTab.h
    ui/MessageBox.cpp
    ui/ModifyPassword.cpp
    ui/ShellHost.h
    ui/SignInPages.cpp
    ui/SignInPages.h
    ui/TipsDlg.cpp
    ui/RecordingsList.cpp
    ui/VideoItem.cpp
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
    ui/UpgradeDlg.cpp
    ui/schedule/DialogParts.cpp
    ui/schedule/DialogParts.h
    ui/schedule/EditMyPMI.cpp
    ui/schedule/EditMyPMI.h
    ui/schedule/Invitation.cpp
    ui/schedule/Invitation.h
    ui/schedule/MeetingsContext.h
    ui/schedule/PlanList.cpp
    ui/schedule/PlanList.h
    ui/schedule/Recurrence.cpp
    ui/schedule/Recurrence.h
    ui/schedule/RecurringMeetingInfo.h
    ui/schedule/ScheduleInfoDlg.cpp
    ui/schedule/ScheduleInfoDlg.h
    ui/schedule/ScheduleItem.cpp
    ui/schedule/ScheduleItem.h
    ui/schedule/ScheduleMeeting.cpp
    ui/schedule/ScheduleMeeting.h
)
