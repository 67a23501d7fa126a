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
</context>
<context>
    <name>WidgetTitleBar</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
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
</TS>
