<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>NetLinkSetting</name>
    <message>
        <source>Network Settings</source>
        <translation>网络设置</translation>
    </message>
    <message>
        <source>Line 1</source>
        <translation>线路1</translation>
    </message>
    <message>
        <source>Line 2</source>
        <translation>线路2</translation>
    </message>
    <message>
        <source>Line 3</source>
        <translation>线路3</translation>
    </message>
    <message>
        <source>Line 4</source>
        <translation>线路4</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>studentloginwidget</name>
    <message>
        <source>Account</source>
        <translation>账号</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>登录</translation>
    </message>
    <message>
        <source>Auto login</source>
        <translation>自动登录</translation>
    </message>
    <message>
        <source>Remember me</source>
        <translation>记住密码</translation>
    </message>
    <message>
        <source>Sign in</source>
        <translation>登录</translation>
    </message>
    <message>
        <source>Phone number</source>
        <translation>手机号</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Network Settings</source>
        <translation>网络设置</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助中心</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Desperately loading...</source>
        <translation>拼命加载中...</translation>
    </message>
</context>
<context>
    <name>CourseMainWidget</name>
    <message>
        <source>Schedule</source>
        <translation>课表</translation>
    </message>
    <message>
        <source>Log out</source>
        <translation>退出登录</translation>
    </message>
    <message>
        <source>Personal center</source>
        <translation>个人中心</translation>
    </message>
    <message>
        <source>Server error, please leave the platform and sign in again!</source>
        <translation>服务器错误,请退出上课平台重新登录！</translation>
    </message>
    <message>
        <source>Supervision</source>
        <translation>监课</translation>
    </message>
    <message>
        <source>Supervision permission check failed, please enter again from the back office!</source>
        <translation>监课权限验证失败，请从后台重新点击‘监课’进入！</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>WidgetTitleBar</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>promptMessageWidget</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>Class resources download successful !</source>
        <translation>课程资源下载成功！</translation>
    </message>
</context>
<context>
    <name>loadingWidget</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>加载中...</translation>
    </message>
    <message>
        <source>There is nothing</source>
        <translation>暂无内容</translation>
    </message>
    <message>
        <source>The network is busy</source>
        <translation>网络繁忙</translation>
    </message>
    <message>
        <source>Press to retry</source>
        <translation>点击重试</translation>
    </message>
</context>
<context>
    <name>WidgetColorPallet</name>
    <message>
        <source>Select color</source>
        <translation>选择颜色</translation>
    </message>
</context>
<context>
    <name>BaseApplication</name>
    <message>
        <source>The server settings cannot be used, so signing in and lessons will not work until they are fixed.</source>
        <translation>服务器设置无法使用，修复之前无法登录和上课。</translation>
    </message>
    <message>
        <source>Signing in works, but some server settings are missing or wrong. Until they are fixed:</source>
        <translation>可以登录，但部分服务器设置缺失或有误。修复之前：</translation>
    </message>
    <message>
        <source>Line %1</source>
        <translation>线路%1</translation>
    </message>
    <message>
        <source>- the network settings cannot switch to %1</source>
        <translation>- 网络设置无法切换到%1</translation>
    </message>
    <message>
        <source>- the help and FAQ pages will not open</source>
        <translation>- 无法打开帮助和常见问题页面</translation>
    </message>
    <message>
        <source>- lesson messages will not reach the classroom</source>
        <translation>- 课堂消息无法送达教室</translation>
    </message>
    <message>
        <source>- audio and video in class will not work</source>
        <translation>- 课堂音视频无法使用</translation>
    </message>
</context>
<context>
    <name>ServerConfig</name>
    <message>
        <source>The server settings file &quot;%1&quot; does not exist.</source>
        <translation>服务器设置文件“%1”不存在。</translation>
    </message>
    <message>
        <source>The server settings file &quot;%1&quot; cannot be read.</source>
        <translation>无法读取服务器设置文件“%1”。</translation>
    </message>
    <message>
        <source>The server settings file &quot;%1&quot; is not a valid settings file.</source>
        <translation>服务器设置文件“%1”不是有效的设置文件。</translation>
    </message>
    <message>
        <source>%1 is missing</source>
        <translation>缺少%1</translation>
    </message>
    <message>
        <source>%1 is not an http address: &quot;%2&quot;</source>
        <translation>%1 不是 http 地址：“%2”</translation>
    </message>
    <message>
        <source>%1 must be a scheme and host only, without a path: &quot;%2&quot;</source>
        <translation>%1 只能包含协议和主机，不能带路径：“%2”</translation>
    </message>
    <message>
        <source>%1 is not a host name: &quot;%2&quot;</source>
        <translation>%1 不是主机名：“%2”</translation>
    </message>
    <message>
        <source>%1 is not a port number: &quot;%2&quot;</source>
        <translation>%1 不是端口号：“%2”</translation>
    </message>
</context>
<context>
    <name>WidgetHelpRemind</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Try this first:</source>
        <translation>请先试试这些方法：</translation>
    </message>
</context>
<context>
    <name>WidgetHelpdeskStudent</name>
    <message>
        <source>I cannot hear the teacher</source>
        <translation>我听不到老师的声音</translation>
    </message>
    <message>
        <source>The teacher cannot hear me</source>
        <translation>老师听不到我的声音</translation>
    </message>
    <message>
        <source>I cannot see the courseware</source>
        <translation>我看不到课件</translation>
    </message>
    <message>
        <source>The video is stuck</source>
        <translation>视频卡住了</translation>
    </message>
    <message>
        <source>Submit</source>
        <translation>提交</translation>
    </message>
</context>
<context>
    <name>WidgetHelpdeskTeacher</name>
    <message>
        <source>Submit</source>
        <translation>提交</translation>
    </message>
</context>
<context>
    <name>WidgetInteractionTeacher</name>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Pen&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;画笔&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Text&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;文字&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Eraser&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;橡皮擦&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Pen Colors&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;画笔颜色&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Teaching Plan&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;教案&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Videos&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;视频&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Audios&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;音频&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Screen Sharing&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;屏幕共享&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Pen</source>
        <translation>画笔</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>文字</translation>
    </message>
    <message>
        <source>Eraser</source>
        <translation>橡皮擦</translation>
    </message>
    <message>
        <source>Pen Colors</source>
        <translation>画笔颜色</translation>
    </message>
    <message>
        <source>Teaching Plan</source>
        <translation>教案</translation>
    </message>
    <message>
        <source>Videos</source>
        <translation>视频</translation>
    </message>
    <message>
        <source>Audios</source>
        <translation>音频</translation>
    </message>
    <message>
        <source>Screen Sharing</source>
        <translation>屏幕共享</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>聊天</translation>
    </message>
</context>
<context>
    <name>WidgetWhiteBoard</name>
    <message>
        <source>Help desk</source>
        <translation>求助</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>上一页</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>下一页</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>放大</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>缩小</translation>
    </message>
    <message>
        <source>Original size</source>
        <translation>原始大小</translation>
    </message>
</context>
<context>
    <name>BaseCourseMainWidget</name>
    <message>
        <source>Log out</source>
        <translation>退出登录</translation>
    </message>
</context>
<context>
    <name>CourseDetailsItem</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>Enter classroom</source>
        <translation>进入教室</translation>
    </message>
</context>
<context>
    <name>TimetableItem</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>今天</translation>
    </message>
    <message>
        <source>Booked %1 classes</source>
        <translation>已预约%1节</translation>
    </message>
</context>
<context>
    <name>StudentsInfoItem</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>Boy</source>
        <translation>男孩</translation>
    </message>
    <message>
        <source>Girl</source>
        <translation>女孩</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Gender</source>
        <translation>性别</translation>
    </message>
    <message>
        <source>Age</source>
        <translation>年龄</translation>
    </message>
</context>
<context>
    <name>ClassTimeItem</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
</context>
<context>
    <name>ClassListItem</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
</context>
<context>
    <name>TeacherCourseMainWidget</name>
    <message>
        <source>Schedule</source>
        <translation>课表</translation>
    </message>
    <message>
        <source>More</source>
        <translation>更多</translation>
    </message>
    <message>
        <source>Start Class</source>
        <translation>开始上课</translation>
    </message>
    <message>
        <source>Memo</source>
        <translation>备忘</translation>
    </message>
    <message>
        <source>Class</source>
        <translation>课程</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Tool</source>
        <translation>工具</translation>
    </message>
    <message>
        <source>Material</source>
        <translation>教材</translation>
    </message>
    <message>
        <source>Material Link</source>
        <translation>教材链接</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>下载</translation>
    </message>
    <message>
        <source>Students</source>
        <translation>学生</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>DownloadClassResourceUtil</name>
    <message>
        <source>Complete</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>下载</translation>
    </message>
</context>
<context>
    <name>SettingWidget</name>
    <message>
        <source>Setting</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>设备设置</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>文件管理</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Speaker:</source>
        <translation>扬声器:</translation>
    </message>
    <message>
        <source>Microphone:</source>
        <translation>麦克风:</translation>
    </message>
    <message>
        <source>Camera:</source>
        <translation>摄像头:</translation>
    </message>
    <message>
        <source>Detect</source>
        <translation>开始检测</translation>
    </message>
    <message>
        <source>Path: </source>
        <translation>路径</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开目录</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清理目录</translation>
    </message>
    <message>
        <source>version:1.0.0</source>
        <translation>版本:1.0.0</translation>
    </message>
    <message>
        <source>Check for New Version</source>
        <translation>检查更新</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>DeviceDetectingWidget</name>
    <message>
        <source>Device detection</source>
        <translation>设备检测</translation>
    </message>
    <message>
        <source>Pre-Class Device Testing</source>
        <translation>课前设备检测</translation>
    </message>
    <message>
        <source>Please have your camera, microphone and headset plugged into your computer or laptop</source>
        <translation>请将摄像头、麦克风和耳机连接到电脑</translation>
    </message>
    <message>
        <source> (it's better to use a USB headset)</source>
        <translation>（建议使用USB耳机）</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>Headset / Speaker</source>
        <translation>耳机/扬声器</translation>
    </message>
    <message>
        <source>Microphone</source>
        <translation>麦克风</translation>
    </message>
    <message>
        <source>Camera</source>
        <translation>摄像头</translation>
    </message>
    <message>
        <source>Test report</source>
        <translation>检测报告</translation>
    </message>
    <message>
        <source>Please select the headset/speaker you want to use!</source>
        <translation>请选择要使用的耳机/扬声器！</translation>
    </message>
    <message>
        <source>Not Save</source>
        <translation>不保存</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Please click on "Play"</source>
        <translation>请点击“播放”</translation>
    </message>
    <message>
        <source>notes:
1.make sure your PC is not mute
2.turn the speaker's volume up to the maximum</source>
        <translation>注意：
1.确认电脑没有静音
2.将扬声器音量调到最大</translation>
    </message>
    <message>
        <source>can you hear the music?</source>
        <translation>能听到音乐吗？</translation>
    </message>
    <message>
        <source>If you cannot hear anything, please use a different device or port and try again</source>
        <translation>如果听不到声音，请换一个设备或接口再试</translation>
    </message>
    <message>
        <source>Not Heard</source>
        <translation>听不到</translation>
    </message>
    <message>
        <source>Hear Sound</source>
        <translation>能听到</translation>
    </message>
    <message>
        <source>Please read:</source>
        <translation>请朗读：</translation>
    </message>
    <message>
        <source> Microphone test. </source>
        <translation> 麦克风测试。 </translation>
    </message>
    <message>
        <source>Testing...</source>
        <translation>检测中...</translation>
    </message>
    <message>
        <source>Can you see the level meter moving? </source>
        <translation>能看到音量条在跳动吗？</translation>
    </message>
    <message>
        <source>If you cannot see the meter bars moving, please use a different microphone or port and try again.</source>
        <translation>如果音量条不动，请换一个麦克风或接口再试。</translation>
    </message>
    <message>
        <source>I can't see</source>
        <translation>看不到</translation>
    </message>
    <message>
        <source>I can see</source>
        <translation>能看到</translation>
    </message>
    <message>
        <source>Video loading ...</source>
        <translation>视频加载中...</translation>
    </message>
    <message>
        <source>Please use a different camera or port and try again if you can't see anything</source>
        <translation>如果看不到画面，请换一个摄像头或接口再试</translation>
    </message>
    <message>
        <source>notes:
1. if any anti-virus software prompts warnings, please give every privilege
2.make sure QQ or Skype hasn't already occupied the camera </source>
        <translation>注意：
1.如有杀毒软件提示，请允许所有权限
2.确认摄像头没有被QQ或Skype占用</translation>
    </message>
    <message>
        <source>Speaker</source>
        <translation>扬声器</translation>
    </message>
    <message>
        <source>Do you have a problem? Please contact our customer service for assistance.</source>
        <translation>遇到问题？请联系客服协助。</translation>
    </message>
    <message>
        <source>You are now all set to begin having classes!</source>
        <translation>设备已就绪，可以开始上课了！</translation>
    </message>
    <message>
        <source>Test again</source>
        <translation>重新检测</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>There may not be any microphone devices inserted.</source>
        <translation type="vanished">可能没有插入任何麦克风设备。</translation>
    </message>
    <message>
        <source>There may not be any speaker devices inserted.</source>
        <translation type="vanished">可能没有插入任何扬声器设备。</translation>
    </message>
    <message>
        <source>May not be plugged into any camera device.</source>
        <translation type="vanished">可能没有插入任何摄像头设备。</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>播放</translation>
    </message>
</context>
<context>
    <name>DeviceSettingInClassWidget</name>
    <message>
        <source>Setting</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Player：</source>
        <translation>扬声器：</translation>
    </message>
    <message>
        <source>Micro：</source>
        <translation>麦克风：</translation>
    </message>
    <message>
        <source>Camera：</source>
        <translation>摄像头：</translation>
    </message>
</context>
<context>
    <name>WidgetClassRoom</name>
    <message>
        <source>Classroom</source>
        <translation>课堂</translation>
    </message>
</context>
<context>
    <name>ClassWidget</name>
    <message>
        <source>Classroom</source>
        <translation>课堂</translation>
    </message>
</context>
<context>
    <name>SwitchModeCombobox</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
</context>
<context>
    <name>NetworkDisconnect</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>Network disconnect!</source>
        <translation>网络连接失败！</translation>
    </message>
</context>
<context>
    <name>ClassTimeProgress</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>This class will start in</source>
        <translation>距离上课还有</translation>
    </message>
</context>
<context>
    <name>WidgetTimeProgress</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
</context>
<context>
    <name>WidgetMessage</name>
    <message>
        <source>Chat</source>
        <translation>聊天</translation>
    </message>
    <message>
        <source>Hide the chat window</source>
        <translation>隐藏聊天窗口</translation>
    </message>
    <message>
        <source>Input something</source>
        <translation>点击输入</translation>
    </message>
    <message>
        <source>image</source>
        <translation>图片</translation>
    </message>
    <message>
        <source>Screenshot(hold the&quot;SHIFT&quot; key to capture non-classroom windows)</source>
        <translation>截图(按住shift键可显示上课界面)</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>Enter to send</source>
        <translation>按Enter键发送信息</translation>
    </message>
    <message>
        <source>Ctrl+Enter to send</source>
        <translation>按Ctrl＋Enter键发送信息</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>图片</translation>
    </message>
    <message>
        <source>Screenshot</source>
        <translation>截图</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>消息</translation>
    </message>
</context>
<context>
    <name>WidgetMessageItemRight</name>
    <message>
        <source>Me</source>
        <translation>我</translation>
    </message>
</context>
<context>
    <name>ShowEnlargeImage</name>
    <message>
        <source>Picture</source>
        <translation>图片</translation>
    </message>
</context>
<context>
    <name>WidgetScreen</name>
    <message>
        <source>Screenshot</source>
        <translation>截图</translation>
    </message>
</context>
<context>
    <name>WidgetCut</name>
    <message>
        <source>Screenshot</source>
        <translation>截图</translation>
    </message>
</context>
<context>
    <name>TeacherAudioListWidget</name>
    <message>
        <source>Audio</source>
        <translation>音频</translation>
    </message>
    <message>
        <source>no audio</source>
        <translation>暂无音频</translation>
    </message>
    <message>
        <source>Close the audio list</source>
        <translation>关闭音频列表</translation>
    </message>
</context>
<context>
    <name>TeacherVideoListWidget</name>
    <message>
        <source>Video</source>
        <translation>视频</translation>
    </message>
    <message>
        <source>no video</source>
        <translation>暂无视频</translation>
    </message>
    <message>
        <source>Close the video list</source>
        <translation>关闭视频列表</translation>
    </message>
</context>
<context>
    <name>TeacherTeachingPlanWidget</name>
    <message>
        <source>Lesson Plan</source>
        <translation>教案</translation>
    </message>
    <message>
        <source>Access Lesson Plan</source>
        <translation>查看教案</translation>
    </message>
    <message>
        <source>No lesson plan</source>
        <translation>暂无教案</translation>
    </message>
</context>
<context>
    <name>ListItemTeacherVideo</name>
    <message>
        <source>students will be unable to hear your voice when playing the video, vice versa .</source>
        <translation>播放视频时学生将听不到您的声音，您也听不到学生的声音。</translation>
    </message>
    <message>
        <source>Pausing the video will make both sides be able to hear the other side again</source>
        <translation>暂停视频后双方可以再次听到对方的声音</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>播放</translation>
    </message>
</context>
<context>
    <name>TeacherVideoPlayerWidget</name>
    <message>
        <source>Video</source>
        <translation>视频</translation>
    </message>
</context>
<context>
    <name>WidgetVideoItem</name>
    <message>
        <source>Me</source>
        <translation>我</translation>
    </message>
</context>
<context>
    <name>WidgetInteractionStudent</name>
    <message>
        <source>Pen</source>
        <translation>画笔</translation>
    </message>
    <message>
        <source>Eraser</source>
        <translation>橡皮擦</translation>
    </message>
    <message>
        <source>Pen Colors</source>
        <translation>画笔颜色</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>聊天</translation>
    </message>
</context>
<context>
    <name>WidgetVideoToolStudentRole</name>
    <message>
        <source>Microphone</source>
        <translation>麦克风</translation>
    </message>
    <message>
        <source>Drawing</source>
        <translation>画图</translation>
    </message>
    <message>
        <source>Praise</source>
        <translation>表扬</translation>
    </message>
    <message>
        <source>Highlight</source>
        <translation>突出显示</translation>
    </message>
    <message>
        <source>Camera</source>
        <translation>摄像头</translation>
    </message>
</context>
<context>
    <name>WidgetVideoToolTeacherRole</name>
    <message>
        <source>Microphone</source>
        <translation>麦克风</translation>
    </message>
    <message>
        <source>Camera</source>
        <translation>摄像头</translation>
    </message>
</context>
<context>
    <name>PrizeModelWidget</name>
    <message>
        <source>Crown</source>
        <translation>皇冠</translation>
    </message>
    <message>
        <source>Medal</source>
        <translation>奖牌</translation>
    </message>
    <message>
        <source>Car</source>
        <translation>汽车</translation>
    </message>
    <message>
        <source>Ball</source>
        <translation>球</translation>
    </message>
    <message>
        <source>Flower</source>
        <translation>花</translation>
    </message>
    <message>
        <source>Doll</source>
        <translation>玩偶</translation>
    </message>
</context>
<context>
    <name>ListItemTeacherAudioNotDownloaded</name>
    <message>
        <source>Download</source>
        <translation>下载</translation>
    </message>
</context>
<context>
    <name>ListItemTeacherAudio</name>
    <message>
        <source>Play</source>
        <translation>播放</translation>
    </message>
</context>
<context>
    <name>ListItemTeacherVideoNotDownloaded</name>
    <message>
        <source>Download</source>
        <translation>下载</translation>
    </message>
</context>
<context>
    <name>WidgetReview</name>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>评语</translation>
    </message>
    <message>
        <source>Star %1</source>
        <translation>%1星</translation>
    </message>
</context>
</TS>
