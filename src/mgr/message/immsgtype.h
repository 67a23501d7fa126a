#ifndef IMMSGTYPE_H
#define IMMSGTYPE_H

// Type codes of the classroom messages ("type" of the envelope). The codes
// are not contiguous; every code has a name (SendAndReceiveMsg::
// getMsgTypeName) and any other value names nothing. The enumerators carry
// a prefix because several names are also the names of payload records.
enum IMMsgType {
    IM_Text = 1,
    IM_Picture = 2,
    IM_ApplyForEnter = 101,
    IM_InviteEnter = 102,
    IM_EnterClass = 103,
    IM_ExitClass = 104,
    IM_SwitchClassAsk = 105,
    IM_SwitchClassConFirm = 106,
    IM_PlayVoice = 108,
    IM_VideoBigShow = 109,
    IM_JoinChannel = 111,
    IM_LeaveChannel = 112,
    IM_UserJoin = 113,
    IM_RefreshDayList = 201,
    IM_WBDraw = 300,
    IM_WBPage = 301,
    IM_WBErasure = 303,
    IM_WBText = 304,
    IM_ShareingDesktop = 401,
    IM_FunctionControl = 402,
    IM_Encourage = 403,
    IM_HighlightPerson = 404,
    IM_Prize = 405,
    IM_ClassMode = 410,
    IM_VideoControl = 501,
    IM_SendSysMsg = 601,
    IM_RefreshApp = 602,
    IM_RequestDeivceInfo = 603,
    IM_ResponseDeviceInfo = 604,
    IM_SwitchDevice = 605,
    IM_SetVideoProfile = 606,
    IM_Helpdesk = 610,
};

#endif // IMMSGTYPE_H
