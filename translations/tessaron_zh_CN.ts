<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>App</name>
    <message>
        <source> (not in use)</source>
        <translation>（未启用）</translation>
    </message>
    <message>
        <source> Switching waits: the window has unsaved changes or an editor open.</source>
        <translation> 切换等待中：窗口有未保存的更改或打开的编辑页。</translation>
    </message>
    <message>
        <source> The limit is reached: the next switch waits.</source>
        <translation> 已达上限：下一次切换将等待。</translation>
    </message>
    <message>
        <source> and </source>
        <translation> 且 </translation>
    </message>
    <message>
        <source>&amp;Add...</source>
        <translation>添加(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>删除(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Edit...</source>
        <translation>编辑(&amp;E)...</translation>
    </message>
    <message>
        <source>&amp;Program</source>
        <translation>程序(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Rules, the first that holds decides:</source>
        <translation>规则(&amp;R)，第一条成立的规则生效：</translation>
    </message>
    <message>
        <source>&amp;Switch profiles by the window in front</source>
        <translation>按前台窗口自动切换配置(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Then:</source>
        <translation>则(&amp;N)：</translation>
    </message>
    <message>
        <source>&amp;Title</source>
        <translation>标题(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Window class</source>
        <translation>窗口类(&amp;W)</translation>
    </message>
    <message>
        <source>: how to compare</source>
        <translation>：比较方式</translation>
    </message>
    <message>
        <source>: text</source>
        <translation>：文字</translation>
    </message>
    <message>
        <source>: the opposite</source>
        <translation>：取反</translation>
    </message>
    <message>
        <source>Automatic Profile Switching</source>
        <translation>自动切换配置</translation>
    </message>
    <message>
        <source>Automatic switching is not available on this desktop: %1.</source>
        <translation>此桌面不支持自动切换：%1。</translation>
    </message>
    <message>
        <source>Bring the window forward: %1 s</source>
        <translation>请切换到该窗口：%1 秒</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Case-&amp;sensitive</source>
        <translation>区分大小写(&amp;S)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Co&amp;mmand line</source>
        <translation>命令行(&amp;M)</translation>
    </message>
    <message>
        <source>Delete the rule &quot;%1&quot;?</source>
        <translation>删除规则 &quot;%1&quot;？</translation>
    </message>
    <message>
        <source>Each switch that sends settings darkens the keyboard&apos;s lighting while they are sent, as every Save does. Nothing is sent while the window has unsaved changes or an editor open.</source>
        <translation>每次发送设置的切换都会在发送期间使键盘灯光变暗，与每次保存相同。窗口有未保存的更改或打开的编辑页时不会发送任何内容。</translation>
    </message>
    <message>
        <source>Filled from &quot;%1&quot;.</source>
        <translation>已按 &quot;%1&quot; 填写。</translation>
    </message>
    <message>
        <source>Go back to what the keyboard held before the first switch</source>
        <translation>恢复第一次切换前键盘上的设置</translation>
    </message>
    <message>
        <source>Last window seen: %1 (class %2, program %3)</source>
        <translation>最近的前台窗口：%1（类 %2，程序 %3）</translation>
    </message>
    <message>
        <source>Leave the keyboard as it is</source>
        <translation>保持键盘不变</translation>
    </message>
    <message>
        <source>Load the profile &quot;%1&quot;</source>
        <translation>载入配置 &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Move &amp;Up</source>
        <translation>上移(&amp;U)</translation>
    </message>
    <message>
        <source>Move Do&amp;wn</source>
        <translation>下移(&amp;W)</translation>
    </message>
    <message>
        <source>No other window came to the front; try again.</source>
        <translation>没有其他窗口切换到前台；请重试。</translation>
    </message>
    <message>
        <source>No profile is named &quot;%1&quot;.</source>
        <translation>没有名为 &quot;%1&quot; 的配置。</translation>
    </message>
    <message>
        <source>No window seen yet.</source>
        <translation>尚未看到任何窗口。</translation>
    </message>
    <message>
        <source>Not</source>
        <translation>不</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Pick the &amp;Window in Front</source>
        <translation>选取前台窗口(&amp;W)</translation>
    </message>
    <message>
        <source>Picking the window</source>
        <translation>选取窗口</translation>
    </message>
    <message>
        <source>Rule &amp;in use</source>
        <translation>启用此规则(&amp;I)</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>规则</translation>
    </message>
    <message>
        <source>Switches in the last hour: %1 of at most %2.</source>
        <translation>最近一小时的切换：%1 次，上限 %2 次。</translation>
    </message>
    <message>
        <source>Switching Rule</source>
        <translation>切换规则</translation>
    </message>
    <message>
        <source>Tessaron is ending.</source>
        <translation>Tessaron 正在退出。</translation>
    </message>
    <message>
        <source>The KWin script that reports the window in front is not installed (%1 in Tessaron&apos;s share folder).</source>
        <translation>未安装报告前台窗口的 KWin 脚本（Tessaron 共享目录中的 %1）。</translation>
    </message>
    <message>
        <source>The condition holds when the comparison does not.</source>
        <translation>比较不成立时条件成立。</translation>
    </message>
    <message>
        <source>The profile &quot;%1&quot; holds no key settings.</source>
        <translation>配置 &quot;%1&quot; 中没有按键设置。</translation>
    </message>
    <message>
        <source>The rule holds when every ticked condition holds for the window in front.</source>
        <translation>当前台窗口满足所有勾选的条件时，规则成立。</translation>
    </message>
    <message>
        <source>The window in front is learned through: %1.</source>
        <translation>前台窗口信息来源：%1。</translation>
    </message>
    <message>
        <source>Tick at least one condition.</source>
        <translation>请至少勾选一个条件。</translation>
    </message>
    <message>
        <source>When &amp;no rule holds:</source>
        <translation>没有规则成立时(&amp;N)：</translation>
    </message>
    <message>
        <source>contains</source>
        <translation>包含</translation>
    </message>
    <message>
        <source>equals</source>
        <translation>等于</translation>
    </message>
    <message>
        <source>leave the keyboard as it is</source>
        <translation>保持键盘不变</translation>
    </message>
    <message>
        <source>matches the expression</source>
        <translation>匹配正则表达式</translation>
    </message>
    <message>
        <source>not </source>
        <translation>不</translation>
    </message>
    <message>
        <source>profile &quot;%1&quot;</source>
        <translation>配置 &quot;%1&quot;</translation>
    </message>
    <message>
        <source>starts with</source>
        <translation>开头是</translation>
    </message>
</context>
<context>
    <name>Config</name>
    <message>
        <source> (ms)</source>
        <translation>（毫秒）</translation>
    </message>
    <message>
        <source> (reports per second)</source>
        <translation>（每秒报告次数）</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>%1</source>
        <comment>a number judged</comment>
        <translation>%1 </translation>
    </message>
    <message>
        <source>%1  %2
</source>
        <comment>a list and its next line</comment>
        <translation>%1  %2
</translation>
    </message>
    <message>
        <source>%1 or %2</source>
        <translation>%1 或 %2</translation>
    </message>
    <message>
        <source>%1 takes the direction %2, not &quot;%3&quot;</source>
        <translation>%1 的方向可取 %2，而不是 &quot;%3&quot;</translation>
    </message>
    <message>
        <source>%1%2</source>
        <comment>a question and what it asks</comment>
        <translation>%1%2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1、%2</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>%1: %2 %3</source>
        <translation>%1：%2 %3</translation>
    </message>
    <message>
        <source>%1: not valid JSON (%2)</source>
        <translation>%1：不是有效的 JSON（读到%3时出错）</translation>
    </message>
    <message>
        <source>%1: the number %2 is too big</source>
        <translation>%1：数字 %2 太大</translation>
    </message>
    <message>
        <source>(top): %1</source>
        <translation>（顶层）：%1</translation>
    </message>
    <message>
        <source>Effect %1</source>
        <translation>灯效 %1</translation>
    </message>
    <message>
        <source>The file is larger than any configuration (4 MiB).</source>
        <translation>文件超过了任何配置的大小（4 MiB）。</translation>
    </message>
    <message>
        <source>These keys would run something on this computer when pressed:
</source>
        <translation>按下以下按键时将在本机上运行内容：
</translation>
    </message>
    <message>
        <source>a key takes one assignment, and &quot;%1&quot; is already given</source>
        <translation>一个按键只能有一种分配，已给出 &quot;%1&quot;</translation>
    </message>
    <message>
        <source>a list</source>
        <translation>列表</translation>
    </message>
    <message>
        <source>a list [...]</source>
        <translation>列表 [...]</translation>
    </message>
    <message>
        <source>a macro needs a name</source>
        <translation>宏需要名称</translation>
    </message>
    <message>
        <source>a name cannot hold the character U+0000</source>
        <translation>名称不能包含字符 U+0000</translation>
    </message>
    <message>
        <source>a number</source>
        <translation>数</translation>
    </message>
    <message>
        <source>a number too big</source>
        <translation>一个太大的数</translation>
    </message>
    <message>
        <source>a number with a fraction</source>
        <translation>带小数的数</translation>
    </message>
    <message>
        <source>a whole number</source>
        <translation>整数</translation>
    </message>
    <message>
        <source>an effect is given by its name, such as &quot;Wave&quot;</source>
        <translation>效果要用名称给出，例如 &quot;Wave&quot;</translation>
    </message>
    <message>
        <source>an object</source>
        <translation>对象</translation>
    </message>
    <message>
        <source>an object {...}</source>
        <translation>对象 {...}</translation>
    </message>
    <message>
        <source>appears twice</source>
        <translation>出现了两次</translation>
    </message>
    <message>
        <source>at least two keys</source>
        <translation>至少两个按键</translation>
    </message>
    <message>
        <source>at most 32 macros, as the keyboard has 32 slots</source>
        <translation>最多 32 个宏，键盘只有 32 个宏槽</translation>
    </message>
    <message>
        <source>at most three keys</source>
        <translation>最多三个按键</translation>
    </message>
    <message>
        <source>expected &quot;KEY dn&quot;, &quot;KEY up&quot; or &quot;N ms&quot;</source>
        <translation>应为 &quot;按键 dn&quot;、&quot;按键 up&quot; 或 &quot;N ms&quot;</translation>
    </message>
    <message>
        <source>is %1 characters long; a name holds at most 254 (characters beyond U+FFFF, such as emoji, count as two)</source>
        <translation>长 %1 个字符；名称最多 254 个字符（U+FFFF 以上的字符，如表情符号，算两个）</translation>
    </message>
    <message>
        <source>is missing</source>
        <translation>缺少此项</translation>
    </message>
    <message>
        <source>line %1, column %2</source>
        <translation>第 %1 行第 %2 列</translation>
    </message>
    <message>
        <source>must be %1 to %2; %3 is too big</source>
        <translation>必须在 %1 到 %2 之间；%3太大</translation>
    </message>
    <message>
        <source>must be %1 to %2; %3 is too small</source>
        <translation>必须在 %1 到 %2 之间；%3太小</translation>
    </message>
    <message>
        <source>must be %1%2, not %3</source>
        <translation>必须是 %1%2，而不是%3</translation>
    </message>
    <message>
        <source>must be %1, not &quot;%2&quot;</source>
        <translation>必须是 %1，而不是 &quot;%2&quot;</translation>
    </message>
    <message>
        <source>must be %1, not %2</source>
        <translation>必须是%1，而不是%2</translation>
    </message>
    <message>
        <source>must be an absolute path, starting with /</source>
        <translation>必须是以 / 开头的绝对路径</translation>
    </message>
    <message>
        <source>must hold five lists, one for each of DIY1 to DIY5</source>
        <translation>必须包含五个列表，分别对应 DIY1 到 DIY5</translation>
    </message>
    <message>
        <source>nested deeper than any configuration is</source>
        <translation>嵌套层数超过任何配置所需</translation>
    </message>
    <message>
        <source>no effect is called &quot;%1&quot; (effects: %2)</source>
        <translation>没有名为 &quot;%1&quot; 的灯效（可用：%2）</translation>
    </message>
    <message>
        <source>no function is called &quot;%1&quot; (functions: %2)</source>
        <translation>没有名为 &quot;%1&quot; 的功能（可用：%2）</translation>
    </message>
    <message>
        <source>no key is called &quot;%1&quot; (see tessaronctl keys)</source>
        <translation>没有名为 &quot;%1&quot; 的按键（见 tessaronctl keys）</translation>
    </message>
    <message>
        <source>no macro %1: %2</source>
        <translation>没有宏 %1：%2</translation>
    </message>
    <message>
        <source>not valid JSON (%1)</source>
        <translation>不是有效的 JSON</translation>
    </message>
    <message>
        <source>open the file</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>open the folder</source>
        <translation>打开文件夹</translation>
    </message>
    <message>
        <source>play the sound</source>
        <translation>播放声音</translation>
    </message>
    <message>
        <source>record %1 (key code %2)</source>
        <translation>记录 %1（键码 %2）</translation>
    </message>
    <message>
        <source>says nothing; give an assignment or &quot;disabled&quot;: true, or leave the key out</source>
        <translation>没有内容；请给出分配或 &quot;disabled&quot;: true，或者不列出此按键</translation>
    </message>
    <message>
        <source>start the program</source>
        <translation>启动程序</translation>
    </message>
    <message>
        <source>text</source>
        <translation>文本</translation>
    </message>
    <message>
        <source>text in quotes</source>
        <translation>带引号的文本</translation>
    </message>
    <message>
        <source>the end of the text</source>
        <translation>文本末尾</translation>
    </message>
    <message>
        <source>the file has no macros</source>
        <translation>文件中没有宏</translation>
    </message>
    <message>
        <source>the macros of the file are numbered 0 to %1</source>
        <translation>文件中的宏编号为 0 到 %1</translation>
    </message>
    <message>
        <source>the same key as %1</source>
        <translation>与 %1 是同一个按键</translation>
    </message>
    <message>
        <source>this file has format %1; this Tessaron reads formats %2 to %3</source>
        <translation>此文件的格式为 %1；本程序读取格式 %2 至 %3</translation>
    </message>
    <message>
        <source>this key cannot be reassigned</source>
        <translation>此按键不能重新分配</translation>
    </message>
    <message>
        <source>this number</source>
        <translation>此数</translation>
    </message>
    <message>
        <source>true or false</source>
        <translation>true 或 false</translation>
    </message>
    <message>
        <source>unknown field (known here: %1)</source>
        <translation>未知字段（此处可用：%1）</translation>
    </message>
    <message>
        <source>macro %1 &quot;%2&quot;</source>
        <translation>宏 %1 &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1 (macro %2)</source>
        <translation>%1（宏 %2）</translation>
    </message>
</context>
<context>
    <name>Controller</name>
    <message>
        <source>%1 holds no keyboard settings yet.</source>
        <translation>%1 中还没有键盘设置。</translation>
    </message>
    <message>
        <source>A profile was switched to automatically: the undo history was cleared.</source>
        <translation>已自动切换配置：撤销记录已清除。</translation>
    </message>
    <message>
        <source>Change settings</source>
        <translation>更改设置</translation>
    </message>
    <message>
        <source>Edit macros</source>
        <translation>编辑宏</translation>
    </message>
    <message>
        <source>Load profile</source>
        <translation>载入配置</translation>
    </message>
    <message>
        <source>No change made by another program is waiting.</source>
        <translation>没有等待处理的其他程序所做的更改。</translation>
    </message>
    <message>
        <source>Settings were applied from outside this window: the undo history was cleared.</source>
        <translation>设置已从此窗口之外应用：撤销记录已清除。</translation>
    </message>
    <message>
        <source>Settings were changed outside this window: the undo history was cleared.</source>
        <translation>设置在此窗口之外被更改：撤销记录已清除。</translation>
    </message>
    <message>
        <source>The keyboard holds other settings than before: the undo history was cleared.</source>
        <translation>键盘上的设置已与之前不同：撤销记录已清除。</translation>
    </message>
    <message>
        <source>The keyboard took the settings, but %1 could not be written.</source>
        <translation>键盘已接受设置，但无法写入 %1。</translation>
    </message>
    <message>
        <source>The keyboard was reset to its factory settings: the undo history was cleared.</source>
        <translation>键盘已恢复出厂设置：撤销记录已清除。</translation>
    </message>
    <message>
        <source>The keyboard&apos;s firmware changed: the undo history was cleared.</source>
        <translation>键盘固件已更改：撤销记录已清除。</translation>
    </message>
    <message>
        <source>The keys were changed outside this window: the undo history was cleared.</source>
        <translation>按键已在此窗口之外被更改：撤销记录已清除。</translation>
    </message>
    <message>
        <source>The window has unsaved changes or an editor open; the switch waits.</source>
        <translation>窗口有未保存的更改或打开的编辑页；切换将等待。</translation>
    </message>
    <message>
        <source>The Tessaron window holds changes not yet saved to the keyboard, which loading a profile would replace: nothing was loaded. Save or cancel them in the window, then try again.</source>
        <translation>Tessaron 窗口中有尚未保存到键盘的更改，加载配置会替换它们：未加载任何配置。请先在窗口中保存或取消这些更改，然后重试。</translation>
    </message>
    <message>
        <source>%1 keys and other settings such as the lighting</source>
        <translation>%1 个按键以及灯光等其他设置</translation>
    </message>
    <message>
        <source>%1 keys</source>
        <translation>%1 个按键</translation>
    </message>
    <message>
        <source>settings such as the lighting</source>
        <translation>灯光等设置</translation>
    </message>
    <message>
        <source>The Tessaron window holds unsaved changes that %1 lacks (%2), which applying the file would replace: nothing was sent. Choose in the window which settings to keep (it asks when the file was changed), or save or cancel its changes, then try again.</source>
        <translation>Tessaron 窗口中有 %1 所没有的未保存更改（%2），应用该文件会替换它们：未发送任何内容。请在窗口中选择保留哪一方的设置（文件被更改时窗口会询问），或保存或取消窗口中的更改，然后重试。</translation>
    </message>
    <message>
        <source>The profile &quot;%1&quot; was loaded from the icon menu: the undo history was cleared.</source>
        <translation>配置“%1”已从图标菜单加载：撤销记录已清除。</translation>
    </message>
</context>
<context>
    <name>Core</name>
    <message>
        <source>&quot;%1&quot; holds %2 bytes; Tessaron writes this file with %3 bytes, so it is not used.</source>
        <translation>&quot;%1&quot; 有 %2 字节；Tessaron 写入的此文件为 %3 字节，因此未使用它。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds more than %2 bytes; Tessaron writes this file with %3 bytes, so it is not used.</source>
        <translation>&quot;%1&quot; 有 超过 %2 字节；Tessaron 写入的此文件为 %3 字节，因此未使用它。</translation>
    </message>
    <message>
        <source>%1 It was kept as &quot;%2&quot; and &quot;%3&quot; was made afresh.</source>
        <translation>%1 已将其保留为 &quot;%2&quot;，并重新建立了 &quot;%3&quot;。</translation>
    </message>
    <message>
        <source>%1 holds more than %2 bytes; nothing was read from it.</source>
        <translation>%1 超过 %2 字节；未读取其内容。</translation>
    </message>
    <message>
        <source>Could not create the settings folder &quot;%1&quot;: %2.</source>
        <translation>无法创建设置文件夹 &quot;%1&quot;：%2。</translation>
    </message>
    <message>
        <source>Could not lock %1: %2.</source>
        <translation>无法锁定 %1：%2。</translation>
    </message>
    <message>
        <source>Could not lock the settings folder &quot;%1&quot;: %2.</source>
        <translation>无法锁定设置文件夹 &quot;%1&quot;：%2。</translation>
    </message>
    <message>
        <source>Could not open the keyboard&apos;s lock file %1: %2.</source>
        <translation>无法打开键盘的锁文件 %1：%2。</translation>
    </message>
    <message>
        <source>Could not read &quot;%1&quot;: %2.</source>
        <translation>无法读取文件 &quot;%1&quot;：%2。</translation>
    </message>
    <message>
        <source>Could not write &quot;%1&quot;: %2.</source>
        <translation>无法写入文件 &quot;%1&quot;：%2。</translation>
    </message>
    <message>
        <source>No folder for the settings: HOME is not set. Use --data-dir or TESSARON_DATA_DIR.</source>
        <translation>找不到保存设置的文件夹：未设置 HOME。请使用 --data-dir 或 TESSARON_DATA_DIR。</translation>
    </message>
    <message>
        <source>Nothing was written: a file of the change failed.</source>
        <translation>未写入任何文件：其中一个文件写入失败。</translation>
    </message>
    <message>
        <source>The keyboard is in use by another Tessaron program%1; waited %2 s. Try again when it is done, or close the window.</source>
        <translation>键盘正被另一个 Tessaron 程序使用%1；已等待 %2 秒。请在其完成后重试，或关闭窗口。</translation>
    </message>
    <message>
        <source>The keyboard&apos;s lock file %1 belongs to someone else; remove it.</source>
        <translation>键盘的锁文件 %1 属于其他用户；请删除它。</translation>
    </message>
    <message>
        <source>another program is changing its files</source>
        <translation>另一个程序正在修改其中的文件</translation>
    </message>
</context>
<context>
    <name>DemoPress</name>
    <message>
        <source>expected: press &lt;key index&gt;, unplug or plug</source>
        <translation>应为：press &lt;按键序号&gt;、unplug 或 plug</translation>
    </message>
    <message>
        <source>no such key index</source>
        <translation>没有这个按键序号</translation>
    </message>
    <message>
        <source>the key was pressed, but no program reads the keyboard&apos;s events yet (it was just plugged in); nothing was reported, try again in a few seconds</source>
        <translation>按键已按下，但还没有程序读取键盘的事件（键盘刚插入）；未报告任何内容，请过几秒再试</translation>
    </message>
</context>
<context>
    <name>Device</name>
    <message>
        <source>Install the udev rule %1 (in the program&apos;s packaging folder) as %2.</source>
        <translation>将 udev 规则 %1（位于程序的 packaging 文件夹）安装为 %2。</translation>
    </message>
    <message>
        <source>Install the udev rule: %1</source>
        <translation>安装 udev 规则：%1</translation>
    </message>
    <message>
        <source>Interface %1 (%2) is open to you although Tessaron does not use it; if it carries typing, any program you run can read your keystrokes.</source>
        <translation>接口 %1（%2）对你开放，但 Tessaron 并不使用它；若它传送键入内容，你运行的任何程序都能读取你的按键。</translation>
    </message>
    <message>
        <source>No gaming keyboard is connected; check the USB cable.</source>
        <translation>未连接游戏键盘；请检查 USB 连接。</translation>
    </message>
    <message>
        <source>No gaming keyboard was found; check the USB cable and that the udev rule 60-tessaron.rules is installed in /etc/udev/rules.d.</source>
        <translation>未检测到游戏键盘；请检查 USB 连接，并确认 udev 规则 60-tessaron.rules 已安装到 /etc/udev/rules.d。</translation>
    </message>
    <message>
        <source>No keyboard was found.</source>
        <translation>未找到键盘。</translation>
    </message>
    <message>
        <source>No tessaron --demo is running on this data folder; start it first (same --data-dir).</source>
        <translation>此数据目录上没有运行 tessaron --demo；请先启动它（使用相同的 --data-dir）。</translation>
    </message>
    <message>
        <source>Plug the keyboard in; check its USB cable and try another port.</source>
        <translation>插入键盘；检查 USB 线缆或换一个接口。</translation>
    </message>
    <message>
        <source>Plugging and unplugging of the keyboard cannot be followed.</source>
        <translation>无法监测键盘的插拔。</translation>
    </message>
    <message>
        <source>Reload udev&apos;s rules: sudo udevadm control --reload-rules</source>
        <translation>重新加载 udev 规则：sudo udevadm control --reload-rules</translation>
    </message>
    <message>
        <source>Replace it with %1.</source>
        <translation>用 %1 替换它。</translation>
    </message>
    <message>
        <source>Run Tessaron from the desktop session you are logged in to at the computer.</source>
        <translation>请在这台电脑上登录的桌面会话中运行 Tessaron。</translation>
    </message>
    <message>
        <source>Run tessaronctl devices to see its interfaces; firmware that numbers them differently needs --command-interface N or --event-interface N.</source>
        <translation>运行 tessaronctl devices 查看其接口；接口编号不同的固件需要 --command-interface N 或 --event-interface N。</translation>
    </message>
    <message>
        <source>The data folder&apos;s path is too long for the key-press socket.</source>
        <translation>数据目录的路径太长，无法用于按键套接字。</translation>
    </message>
    <message>
        <source>The key assignments are empty and would leave every key without a function; nothing was sent to the keyboard.</source>
        <translation>按键设置为空，发送后所有按键都将失效；未向键盘发送任何数据。</translation>
    </message>
    <message>
        <source>The key-press socket %1 belongs to another user; it is not spoken to.</source>
        <translation>按键套接字 %1 属于其他用户；不与其通信。</translation>
    </message>
    <message>
        <source>The keyboard did not acknowledge the step &quot;%1&quot;; the settings were not saved completely.</source>
        <translation>键盘没有确认步骤“%1”；设置未能完整保存。</translation>
    </message>
    <message>
        <source>The keyboard is connected and you may use it.</source>
        <translation>键盘已连接，你可以使用它。</translation>
    </message>
    <message>
        <source>The keyboard is connected, but its configuration interface was not found.</source>
        <translation>键盘已连接，但未找到它的配置接口。</translation>
    </message>
    <message>
        <source>The keyboard is connected, but its event interface was not found.</source>
        <translation>键盘已连接，但未找到它的事件接口。</translation>
    </message>
    <message>
        <source>The keyboard is connected, but the rule %1 does not give you interface %2.</source>
        <translation>键盘已连接，但规则 %1 没有向你开放接口 %2。</translation>
    </message>
    <message>
        <source>The keyboard is connected, but you have no permission to use interface %1: its udev rule is not installed.</source>
        <translation>键盘已连接，但你没有权限使用接口 %1：它的 udev 规则尚未安装。</translation>
    </message>
    <message>
        <source>The keyboard is not connected.</source>
        <translation>键盘未连接。</translation>
    </message>
    <message>
        <source>The keyboard sent no data in time.</source>
        <translation>键盘未及时发送数据。</translation>
    </message>
    <message>
        <source>The keyboard&apos;s command interface is already open in another program.</source>
        <translation>键盘的命令接口已被另一个程序打开。</translation>
    </message>
    <message>
        <source>The keyboard&apos;s event interface is not open, so it cannot confirm a save; plug the keyboard in again.</source>
        <translation>键盘的事件接口未打开，无法确认保存；请重新插入键盘。</translation>
    </message>
    <message>
        <source>The plug monitor is already running.</source>
        <translation>插拔监视已在运行。</translation>
    </message>
    <message>
        <source>The rule at %1 also opens interface %2, which Tessaron does not need; restrict it with ATTRS{bInterfaceNumber} as %3 does.</source>
        <translation>规则 %1 也开放了接口 %2，而 Tessaron 并不需要它；请像 %3 那样用 ATTRS{bInterfaceNumber} 加以限制。</translation>
    </message>
    <message>
        <source>The running tessaron --demo did not answer.</source>
        <translation>正在运行的 tessaron --demo 没有回应。</translation>
    </message>
    <message>
        <source>The transfer to or from the keyboard failed (%1).</source>
        <translation>与键盘的数据传输失败（%1）。</translation>
    </message>
    <message>
        <source>The transfer to or from the keyboard was cut short (%1, %2 bytes).</source>
        <translation>与键盘的数据传输不完整（%1，%2 字节）。</translation>
    </message>
    <message>
        <source>The udev rule is applied, but this login is not the active session at the computer (for example SSH or another user&apos;s desktop), so you get no access to interface %1.</source>
        <translation>udev 规则已生效，但当前登录不是这台电脑上的活动会话（例如 SSH 或其他用户的桌面），因此你无权访问接口 %1。</translation>
    </message>
    <message>
        <source>The udev rule is installed, but not yet applied to interface %1.</source>
        <translation>udev 规则已安装，但尚未应用到接口 %1。</translation>
    </message>
    <message>
        <source>Unknown demo fault &quot;%1&quot;; use drop-acks[=N], ack-delay=MS, garble-replies, garble-pages or unplug-after=N.</source>
        <translation>未知的演示故障 &quot;%1&quot;；可用 drop-acks[=N]、ack-delay=MS、garble-replies、garble-pages 或 unplug-after=N。</translation>
    </message>
    <message>
        <source>Unplug the keyboard and plug it in again (or: sudo udevadm trigger --subsystem-match=hidraw --action=add).</source>
        <translation>拔下键盘后重新插入（或运行：sudo udevadm trigger --subsystem-match=hidraw --action=add）。</translation>
    </message>
    <message>
        <source>Warning: </source>
        <translation>警告：</translation>
    </message>
    <message>
        <source>What to do:
</source>
        <translation>处理方法：
</translation>
    </message>
    <message>
        <source>You have no permission to open the keyboard.</source>
        <translation>没有打开键盘的权限。</translation>
    </message>
    <message>
        <source>You have no permission to use the keyboard at %1; install the udev rule 60-tessaron.rules and plug the keyboard in again.</source>
        <translation>没有权限访问键盘 %1；请安装 udev 规则 60-tessaron.rules 后重新插入键盘。</translation>
    </message>
    <message>
        <source>darken the lighting</source>
        <translation>关闭灯光</translation>
    </message>
    <message>
        <source>enabled keys and Win Lock</source>
        <translation>按键启用和 Win Lock</translation>
    </message>
    <message>
        <source>game mode</source>
        <translation>游戏模式</translation>
    </message>
    <message>
        <source>key assignments</source>
        <translation>按键设置</translation>
    </message>
    <message>
        <source>light map %1</source>
        <translation>灯光图 %1</translation>
    </message>
    <message>
        <source>lighting table</source>
        <translation>灯光表</translation>
    </message>
    <message>
        <source>macro slot %1</source>
        <translation>宏 %1</translation>
    </message>
    <message>
        <source>report rate</source>
        <translation>USB报告率</translation>
    </message>
    <message>
        <source>response time</source>
        <translation>按键响应时间</translation>
    </message>
    <message>
        <source>restore the lighting</source>
        <translation>恢复灯光</translation>
    </message>
</context>
<context>
    <name>Images</name>
    <message>
        <source>Advance</source>
        <translation>高级功能</translation>
    </message>
    <message>
        <source>Basic</source>
        <translation>基本功能</translation>
    </message>
    <message>
        <source>Bright</source>
        <translation>亮</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>亮度</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>浏览</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Current Key:A </source>
        <translation>当前按键:A </translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>黑</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>初始值</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>禁用按钮</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>效果</translation>
    </message>
    <message>
        <source>Fast</source>
        <translation>快</translation>
    </message>
    <message>
        <source>Game Mode</source>
        <translation>游戏模式</translation>
    </message>
    <message>
        <source>Keystrobe Sequence</source>
        <translation>按键系列</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>灯光</translation>
    </message>
    <message>
        <source>Macro</source>
        <translation>宏</translation>
    </message>
    <message>
        <source>Macro Management</source>
        <translation>宏管理</translation>
    </message>
    <message>
        <source>Macro Manager</source>
        <translation>宏管理器</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>Number of Loops</source>
        <translation>循环次数</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>开启</translation>
    </message>
    <message>
        <source>ORVIK GAMING KEYBOARD</source>
        <translation>VantorOrvik 机械键盘</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>打开目录</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>录制选项</translation>
    </message>
    <message>
        <source>Play Sound</source>
        <translation>播放声音</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>配置</translation>
    </message>
    <message>
        <source>Record Delay</source>
        <translation>记录按键动作</translation>
    </message>
    <message>
        <source>Response Time</source>
        <translation>按键响应时间</translation>
    </message>
    <message>
        <source>Return</source>
        <translation>恢复</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Select Macro</source>
        <translation>选择宏</translation>
    </message>
    <message>
        <source>Single/Combine</source>
        <translation>单键/组合键</translation>
    </message>
    <message>
        <source>Slow</source>
        <translation>慢</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>速度</translation>
    </message>
    <message>
        <source>Start Recording</source>
        <translation>开始录制</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>启动程序</translation>
    </message>
    <message>
        <source>TESSARON  ·  Keyboard Settings</source>
        <translation>TESSARON  ·  键盘设置</translation>
    </message>
    <message>
        <source>USB Report Rate</source>
        <translation>USB报告率</translation>
    </message>
    <message>
        <source>Update Firmware</source>
        <translation>驱动更新</translation>
    </message>
    <message>
        <source>Wave</source>
        <translation> 波浪</translation>
    </message>
    <message>
        <source>Win Lock</source>
        <translation>Win Lock模式</translation>
    </message>
    <message>
        <source>between</source>
        <translation>间的延迟</translation>
    </message>
    <message>
        <source>Ver: %1</source>
        <translation>Ver: %1</translation>
    </message>
    <message>
        <source>%1Hz</source>
        <translation>%1Hz</translation>
    </message>
</context>
<context>
    <name>KeyPage</name>
    <message>
        <source>Advance</source>
        <translation>高级功能</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>所有文件 (*)</translation>
    </message>
    <message>
        <source>Audio Files</source>
        <translation>音频文件</translation>
    </message>
    <message>
        <source>Basic</source>
        <translation>基本功能</translation>
    </message>
    <message>
        <source>Browse: </source>
        <translation>浏览: </translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Choose a File</source>
        <translation>选择文件</translation>
    </message>
    <message>
        <source>Choose a Folder</source>
        <translation>选择文件夹</translation>
    </message>
    <message>
        <source>Choose a Program</source>
        <translation>选择程序</translation>
    </message>
    <message>
        <source>Choose a Sound</source>
        <translation>选择声音</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Combine</source>
        <translation>组合键</translation>
    </message>
    <message>
        <source>Current Key: </source>
        <translation>当前按键: </translation>
    </message>
    <message>
        <source>Default</source>
        <translation>初始值</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>禁用按钮</translation>
    </message>
    <message>
        <source>Key Settings</source>
        <translation>按键设置</translation>
    </message>
    <message>
        <source>Macro</source>
        <translation>宏</translation>
    </message>
    <message>
        <source>Media</source>
        <translation>多媒体</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>打开目录</translation>
    </message>
    <message>
        <source>Play Sound</source>
        <translation>播放声音</translation>
    </message>
    <message>
        <source>Please select Sub item</source>
        <translation>请选择子项</translation>
    </message>
    <message>
        <source>Please select a folder
</source>
        <translation>请选择文件夹
</translation>
    </message>
    <message>
        <source>Programs (*)</source>
        <translation>程序 (*)</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>快捷健</translation>
    </message>
    <message>
        <source>Single</source>
        <translation>单键</translation>
    </message>
    <message>
        <source>Single/Combine</source>
        <translation>单键/组合键</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>启动程序</translation>
    </message>
    <message>
        <source>Windows</source>
        <translation>Windows</translation>
    </message>
    <message>
        <source>listening: type the keys</source>
        <translation>正在录入：请按键</translation>
    </message>
    <message>
        <source>press Space, then type the keys</source>
        <translation>按空格键后按下按键</translation>
    </message>
</context>
<context>
    <name>Keys</name>
    <message>
        <source> keys</source>
        <translation> 个按键</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a readable file.</source>
        <translation>&quot;%1&quot; 不是可读取的文件。</translation>
    </message>
    <message>
        <source>: </source>
        <translation>：</translation>
    </message>
    <message>
        <source>Breathing</source>
        <translation>呼吸</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭窗口</translation>
    </message>
    <message>
        <source>Computer</source>
        <translation>我的电脑</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>剪切</translation>
    </message>
    <message>
        <source>Homepage</source>
        <translation>浏览器-主页</translation>
    </message>
    <message>
        <source>InstantOn Mode</source>
        <translation>即按即灭模式</translation>
    </message>
    <message>
        <source>Keypad </source>
        <translation>小键盘 </translation>
    </message>
    <message>
        <source>Macro number %1 does not exist; the keyboard holds macros 0 to 31.</source>
        <translation>宏编号 %1 不存在；键盘只能保存 0 到 31 号宏。</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>最大化</translation>
    </message>
    <message>
        <source>Media Player</source>
        <translation>多媒体播放器</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Mute</source>
        <translation>静音</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>下一曲</translation>
    </message>
    <message>
        <source>No key is selected.</source>
        <translation>没有选中按键。</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>粘贴</translation>
    </message>
    <message>
        <source>Play/Pause</source>
        <translation>播放/暂停</translation>
    </message>
    <message>
        <source>Prev</source>
        <translation>上一曲</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>打印</translation>
    </message>
    <message>
        <source>Radar</source>
        <translation>雷达</translation>
    </message>
    <message>
        <source>Raindrop</source>
        <translation>雨滴</translation>
    </message>
    <message>
        <source>Reactive</source>
        <translation>随按渐灭</translation>
    </message>
    <message>
        <source>Ripple</source>
        <translation>涟漪</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>运行</translation>
    </message>
    <message>
        <source>Running Water Run Mode</source>
        <translation>流水跑马</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>搜索</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>Sidewinder</source>
        <translation>蛇形跑马</translation>
    </message>
    <message>
        <source>Spotlight</source>
        <translation>对冲</translation>
    </message>
    <message>
        <source>Static</source>
        <translation>全亮</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Task Management</source>
        <translation>任务管理器</translation>
    </message>
    <message>
        <source>The path contains a zero character.</source>
        <translation>路径中含有空字符。</translation>
    </message>
    <message>
        <source>The path is longer than 255 characters; a key can only hold shorter paths.</source>
        <translation>路径超过 255 个字符，按键只能保存更短的路径。</translation>
    </message>
    <message>
        <source>The path is not valid UTF-8 text and cannot be stored for a key.</source>
        <translation>路径不是有效的 UTF-8 文本，无法保存到按键。</translation>
    </message>
    <message>
        <source>Vol+</source>
        <translation>音量+</translation>
    </message>
    <message>
        <source>Vol-</source>
        <translation>音量-</translation>
    </message>
    <message>
        <source>Vortex</source>
        <translation>环形跑马</translation>
    </message>
    <message>
        <source>Wave</source>
        <translation>波浪</translation>
    </message>
    <message>
        <source>default</source>
        <translation>默认</translation>
    </message>
    <message>
        <source>disabled</source>
        <translation>已禁用</translation>
    </message>
    <message>
        <source>macro </source>
        <translation>宏 </translation>
    </message>
    <message>
        <source>macro (none)</source>
        <translation>宏（无）</translation>
    </message>
    <message>
        <source>opens file </source>
        <translation>打开文件 </translation>
    </message>
    <message>
        <source>opens folder </source>
        <translation>打开目录 </translation>
    </message>
    <message>
        <source>plays </source>
        <translation>播放</translation>
    </message>
    <message>
        <source>plays sound </source>
        <translation>播放声音 </translation>
    </message>
    <message>
        <source>starts </source>
        <translation>启动 </translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>DIY1</source>
        <translation>DIY1</translation>
    </message>
    <message>
        <source>DIY2</source>
        <translation>DIY2</translation>
    </message>
    <message>
        <source>DIY3</source>
        <translation>DIY3</translation>
    </message>
    <message>
        <source>DIY4</source>
        <translation>DIY4</translation>
    </message>
    <message>
        <source>DIY5</source>
        <translation>DIY5</translation>
    </message>
</context>
<context>
    <name>MacroManager</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Click</source>
        <translation>单击</translation>
    </message>
    <message>
        <source>Delay (ms)</source>
        <translation>延时（毫秒）</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>压下</translation>
    </message>
    <message>
        <source>Edit Delay</source>
        <translation>编辑延迟</translation>
    </message>
    <message>
        <source>Insert After</source>
        <translation>在之后开始录入</translation>
    </message>
    <message>
        <source>Insert Before</source>
        <translation>在之前开始录入</translation>
    </message>
    <message>
        <source>Insert Delay</source>
        <translation>插入延迟</translation>
    </message>
    <message>
        <source>Insert Key</source>
        <translation>插入按键</translation>
    </message>
    <message>
        <source>Insert Mouse Key</source>
        <translation>插入鼠标按键</translation>
    </message>
    <message>
        <source>Keystrobe Sequence</source>
        <translation>按键系列</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>左键</translation>
    </message>
    <message>
        <source>Macro Manager</source>
        <translation>宏管理器</translation>
    </message>
    <message>
        <source>Macro name</source>
        <translation>宏名称</translation>
    </message>
    <message>
        <source>Middle</source>
        <translation>中健</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>Number of Loops</source>
        <translation>循环次数</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>录制选项</translation>
    </message>
    <message>
        <source>Record Delay
between
keystrokes</source>
        <translation>记录按键动作
间的延迟</translation>
    </message>
    <message>
        <source>Recording</source>
        <translation>录制</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>重命名</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>右键</translation>
    </message>
    <message>
        <source>Select Macro</source>
        <translation>选择宏</translation>
    </message>
    <message>
        <source>Start Recording</source>
        <translation>开始录制</translation>
    </message>
    <message>
        <source>Stop Recording</source>
        <translation>停止录制</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>释放</translation>
    </message>
    <message>
        <source>every key is recorded; recording ends when no key has been pressed for a moment</source>
        <translation>每个按键都会被录制；停止按键片刻后录制结束</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>Wait %1 ms</source>
        <translation>等待 %1 ms</translation>
    </message>
    <message>
        <source>%1 released</source>
        <translation>松开 %1</translation>
    </message>
    <message>
        <source>%1 pressed</source>
        <translation>按下 %1</translation>
    </message>
</context>
<context>
    <name>Macros</name>
    <message>
        <source>A macro name can be at most 254 characters long.</source>
        <translation>宏名称最多只能有 254 个字符。</translation>
    </message>
    <message>
        <source>A macro needs a name; the empty name was not taken.</source>
        <translation>宏必须有名称，空名称未被采用。</translation>
    </message>
    <message>
        <source>Confirm to delete?</source>
        <translation>确认删除吗？</translation>
    </message>
    <message>
        <source>Line %1: %2</source>
        <translation>第 %1 行：%2</translation>
    </message>
    <message>
        <source>Macro Manager</source>
        <translation>宏管理器</translation>
    </message>
    <message>
        <source>Macro Manager</source>
        <comment>managerCaption</comment>
        <translation>宏管理</translation>
    </message>
    <message>
        <source>Please edit current delay
</source>
        <translation>请编辑当前延时
</translation>
    </message>
    <message>
        <source>Please select a Macro file to delete
</source>
        <translation>请选择一个宏指令文件删除
</translation>
    </message>
    <message>
        <source>Please select a Macro file to record 
</source>
        <translation>请选择一个宏指令文件录制
</translation>
    </message>
    <message>
        <source>Please select a macro first.</source>
        <translation>请先选择一个宏。</translation>
    </message>
    <message>
        <source>The macro ends with a delay that no event follows.</source>
        <translation>宏以延时结束，其后没有事件。</translation>
    </message>
    <message>
        <source>The macro is full: there is no room left for this event.</source>
        <translation>宏已满：没有空间容纳此事件。</translation>
    </message>
    <message>
        <source>The number of loops takes at most three digits.</source>
        <translation>循环次数最多只能输入三位数字。</translation>
    </message>
    <message>
        <source>The selected line is not part of this macro.</source>
        <translation>所选行不属于此宏。</translation>
    </message>
    <message>
        <source>This key cannot be played by the keyboard, so it is not recorded.</source>
        <translation>键盘无法回放此按键，因此不录制。</translation>
    </message>
    <message>
        <source>a delay must be 2 to 60000 ms.</source>
        <translation>延时必须在 2 到 60000 毫秒之间。</translation>
    </message>
    <message>
        <source>a macro cannot start with a delay.</source>
        <translation>宏不能以延时开始。</translation>
    </message>
    <message>
        <source>expected &quot;KEY dn&quot;, &quot;KEY up&quot;, &quot;N ms&quot;, &quot;name:&quot; or &quot;loops:&quot;.</source>
        <translation>应为 &quot;按键 dn&quot;、&quot;按键 up&quot;、&quot;N ms&quot;、&quot;name:&quot; 或 &quot;loops:&quot;。</translation>
    </message>
    <message>
        <source>the keyboard cannot play the key &quot;%1&quot;.</source>
        <translation>键盘无法回放按键 &quot;%1&quot;。</translation>
    </message>
    <message>
        <source>the macro is longer than the 190 bytes a macro can hold.</source>
        <translation>宏超过了 190 字节的容量。</translation>
    </message>
    <message>
        <source>the name is longer than 254 characters.</source>
        <translation>名称超过 254 个字符。</translation>
    </message>
    <message>
        <source>the number of loops must be a whole number up to 65535.</source>
        <translation>循环次数必须是不大于 65535 的整数。</translation>
    </message>
    <message>
        <source>two delays follow each other.</source>
        <translation>两个延时连在一起。</translation>
    </message>
    <message>
        <source>unknown key &quot;%1&quot;.</source>
        <translation>未知按键 &quot;%1&quot;。</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>

The factory reset did not finish; the keyboard may hold its factory settings. When it is read again, what it does not hold is shown as unsaved changes.</source>
        <translation>

恢复出厂设置没有完成；键盘可能已是出厂设置。再次读取键盘后，键盘上没有的设置将显示为未保存的更改。</translation>
    </message>
    <message>
        <source>%1 key(s) set in keymap.bin are not on the keyboard. They are shown as unsaved changes: Save sends them to the keyboard, Cancel drops them.</source>
        <translation>keymap.bin 中设置的 %1 个按键不在键盘上。它们显示为未保存的更改：保存会将其发送到键盘，取消会丢弃它们。</translation>
    </message>
    <message>
        <source>%1 keys are assigned differently.</source>
        <translation>有 %1 个按键的设置不同。</translation>
    </message>
    <message>
        <source>(none yet)</source>
        <translation>（暂无）</translation>
    </message>
    <message>
        <source>A profile switch waits: the window has unsaved changes or an editor open.</source>
        <translation>配置切换正在等待：窗口有未保存的更改或打开的编辑页。</translation>
    </message>
    <message>
        <source>About Tessaron</source>
        <translation>关于 Tessaron</translation>
    </message>
    <message>
        <source>About Tessaron(&amp;A)...</source>
        <translation>关于 Tessaron(&amp;A)...</translation>
    </message>
    <message>
        <source>Another program changed &quot;%1&quot; while this window holds changes it has not kept there.

%2

Take theirs: the window shows the file&apos;s settings. Keep mine: the window&apos;s settings stay and are written to the file. Either way the other side is kept as a copy beside the file, which the profiles panel can load.</source>
        <translation>其他程序更改了 &quot;%1&quot;，而本窗口中有尚未保存到该文件的更改。

%2

采用对方的：窗口显示文件中的设置。保留我的：窗口中的设置不变并写入该文件。无论选择哪一方，另一方都会作为副本保存在该文件旁边，可在配置文件面板中载入。</translation>
    </message>
    <message>
        <source>Automatic Profile Switching</source>
        <translation>自动切换配置</translation>
    </message>
    <message>
        <source>Bright</source>
        <translation>亮</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>亮度</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Confirm to return Factory Setting?</source>
        <translation>确认恢复至出厂设置吗？</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>黑</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>Direction down</source>
        <translation>方向 下</translation>
    </message>
    <message>
        <source>Direction left</source>
        <translation>方向 左</translation>
    </message>
    <message>
        <source>Direction right</source>
        <translation>方向 右</translation>
    </message>
    <message>
        <source>Direction up</source>
        <translation>方向 上</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>效果</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Factory Setting</source>
        <translation>出厂设置</translation>
    </message>
    <message>
        <source>Fast</source>
        <translation>快</translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation>固件更新</translation>
    </message>
    <message>
        <source>Game Mode</source>
        <translation>游戏模式</translation>
    </message>
    <message>
        <source>Game Mode and Win Lock</source>
        <translation>游戏模式和Win Lock模式</translation>
    </message>
    <message>
        <source>Game Mode off</source>
        <translation>游戏模式 关闭</translation>
    </message>
    <message>
        <source>Game Mode off</source>
        <comment>clickArea</comment>
        <translation>游戏模式 关</translation>
    </message>
    <message>
        <source>Game Mode on</source>
        <translation>游戏模式 开启</translation>
    </message>
    <message>
        <source>Game Mode on</source>
        <comment>clickArea</comment>
        <translation>游戏模式 开</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Keep mine</source>
        <translation>保留我的</translation>
    </message>
    <message>
        <source>Keyboard not connected: plug it in to save your changes.</source>
        <translation>键盘未连接：插入键盘后即可保存更改。</translation>
    </message>
    <message>
        <source>Keymap</source>
        <translation>按键</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>灯光</translation>
    </message>
    <message>
        <source>Light of %1</source>
        <translation>%1 灯光</translation>
    </message>
    <message>
        <source>Lighting direction</source>
        <translation>灯光方向</translation>
    </message>
    <message>
        <source>Lighting effect</source>
        <translation>灯光效果</translation>
    </message>
    <message>
        <source>Loading the profile &quot;%1&quot; replaces the changes not yet saved to the keyboard. Load it?</source>
        <translation>载入配置文件 &quot;%1&quot; 将替换尚未保存到键盘的更改。是否载入？</translation>
    </message>
    <message>
        <source>Macro Management</source>
        <translation>宏管理</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>开启</translation>
    </message>
    <message>
        <source>Orvik Gaming Keyboard</source>
        <translation>VantorOrvik机械键盘</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>配置</translation>
    </message>
    <message>
        <source>Profile 1ms</source>
        <translation>配置 Profile 1ms</translation>
    </message>
    <message>
        <source>Profiles</source>
        <translation>配置文件</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>重做</translation>
    </message>
    <message>
        <source>Redo: %1</source>
        <translation>重做：%1</translation>
    </message>
    <message>
        <source>Response Time</source>
        <translation>按键响应时间</translation>
    </message>
    <message>
        <source>Response Time</source>
        <comment>clickResponseList</comment>
        <translation>响应时间</translation>
    </message>
    <message>
        <source>Restore the factory settings</source>
        <translation>恢复出厂设置</translation>
    </message>
    <message>
        <source>Return</source>
        <translation>恢复</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Settings for the Orvik gaming keyboard</source>
        <translation>游戏键盘设置工具</translation>
    </message>
    <message>
        <source>Slow</source>
        <translation>慢</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>速度</translation>
    </message>
    <message>
        <source>Start at Login</source>
        <translation>登录时启动</translation>
    </message>
    <message>
        <source>Switching Rules...</source>
        <translation>切换规则...</translation>
    </message>
    <message>
        <source>Take theirs</source>
        <translation>采用对方的</translation>
    </message>
    <message>
        <source>Tell Each Switch</source>
        <translation>提示每次切换</translation>
    </message>
    <message>
        <source>Tessaron</source>
        <translation>Tessaron</translation>
    </message>
    <message>
        <source>Tessaron Guide</source>
        <translation>Tessaron 使用指南</translation>
    </message>
    <message>
        <source>Tessaron is busy with the keyboard; try again in a moment.</source>
        <translation>Tessaron 正在与键盘通信，请稍后再试。</translation>
    </message>
    <message>
        <source>Tessaron keeps running here. Double-click this icon to open it; right-click it to exit.</source>
        <translation>Tessaron 仍在此处运行。双击此图标可打开窗口，右键单击可退出。</translation>
    </message>
    <message>
        <source>The data folder &quot;%1&quot; cannot be written. Tessaron still changes the keyboard, but keeps nothing on this computer (keys&apos; programs, macros, profiles) until the folder can be written again.

%2</source>
        <translation>无法写入数据目录 &quot;%1&quot;。Tessaron 仍可更改键盘，但在该目录可写之前不会在本机保存任何内容（按键的程序、宏、配置文件）。

%2</translation>
    </message>
    <message>
        <source>The keyboard is back to its settings before the first switch.</source>
        <translation>键盘已恢复第一次切换前的设置。</translation>
    </message>
    <message>
        <source>The keyboard took the profile &quot;%1&quot; for the window in front.</source>
        <translation>键盘已为前台窗口载入配置 &quot;%1&quot;。</translation>
    </message>
    <message>
        <source>The keyboard took the settings, but they could not be kept on this computer: </source>
        <translation>键盘已接受设置，但无法保存在本机：</translation>
    </message>
    <message>
        <source>The keyboard&apos;s settings (lighting, speed, report rate, key map) differ.</source>
        <translation>键盘设置（灯光、速度、回报率、按键映射）不同。</translation>
    </message>
    <message>
        <source>The other program&apos;s settings were kept as &quot;%1&quot;.</source>
        <translation>其他程序的设置已保存为 &quot;%1&quot;。</translation>
    </message>
    <message>
        <source>The profile &quot;%1&quot; was not loaded: %2</source>
        <translation>未能载入配置文件 &quot;%1&quot;：%2</translation>
    </message>
    <message>
        <source>This window&apos;s settings were kept as &quot;%1&quot;.</source>
        <translation>本窗口的设置已保存为 &quot;%1&quot;。</translation>
    </message>
    <message>
        <source>USB Report Rate</source>
        <translation>USB报告率</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>Undo: %1</source>
        <translation>撤销：%1</translation>
    </message>
    <message>
        <source>Update Firmware</source>
        <translation>驱动更新</translation>
    </message>
    <message>
        <source>Update new firmware？</source>
        <translation>更新到新的固件吗？</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>Win Lock</source>
        <translation>Win Lock模式</translation>
    </message>
    <message>
        <source>Win Lock off</source>
        <translation>Win Lock模式 关闭</translation>
    </message>
    <message>
        <source>Win Lock off</source>
        <comment>clickArea</comment>
        <translation>Win 锁 关</translation>
    </message>
    <message>
        <source>Win Lock on</source>
        <translation>Win Lock模式 开启</translation>
    </message>
    <message>
        <source>Win Lock on</source>
        <comment>clickArea</comment>
        <translation>Win 锁 开</translation>
    </message>
    <message>
        <source>no keyboard is connected.</source>
        <translation>没有连接键盘。</translation>
    </message>
    <message>
        <source>Ver: %1</source>
        <translation>Ver: %1</translation>
    </message>
    <message>
        <source>%1ms</source>
        <translation>%1ms</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>DIY</source>
        <translation>DIY</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
</context>
<context>
    <name>Profiles</name>
    <message>
        <source>%1%2</source>
        <comment>a message and the file it names</comment>
        <translation>%1%2</translation>
    </message>
    <message>
        <source>A profile name cannot be empty or contain &quot;/&quot;, &quot;\&quot;, &quot;..&quot; or control characters.</source>
        <translation>配置名称不能为空，也不能包含 &quot;/&quot;、&quot;\&quot;、&quot;..&quot; 或控制字符。</translation>
    </message>
    <message>
        <source>A profile with this name already exists.</source>
        <translation>已存在同名的配置。</translation>
    </message>
    <message>
        <source>Copy of ?</source>
        <translation>复制 </translation>
    </message>
    <message>
        <source>Could not create the profile folder &quot;%1&quot;: %2.</source>
        <translation>无法创建配置文件夹 &quot;%1&quot;：%2。</translation>
    </message>
    <message>
        <source>Delete current profile ?</source>
        <translation>删除当前配置文件吗</translation>
    </message>
    <message>
        <source>Fail</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>Only Create Six Profile mostly
</source>
        <translation>最多可以存储6个配置
</translation>
    </message>
    <message>
        <source>Please keep a profile
</source>
        <translation>请至少保留一个配置文件</translation>
    </message>
    <message>
        <source>Please select a profile to Open
</source>
        <translation>请选择一个配置打开</translation>
    </message>
    <message>
        <source>Please select a profile to Save
</source>
        <translation>请选择一个配置存储</translation>
    </message>
    <message>
        <source>Please select a profile to copy
</source>
        <translation>请选择一个配置拷贝</translation>
    </message>
    <message>
        <source>Please select a profile to delete
</source>
        <translation>请选择一个配置删除</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>配置管理</translation>
    </message>
    <message>
        <source>The profile file could not be deleted.</source>
        <translation>无法删除此配置文件。</translation>
    </message>
    <message>
        <source>This file holds no keyboard settings (a new profile is empty until something is saved into it); nothing was loaded.</source>
        <translation>此文件中没有键盘设置（新建的配置在保存设置之前是空的）；未加载任何内容。</translation>
    </message>
    <message>
        <source>This profile name is too long for the profile folder.</source>
        <translation>此配置名称太长，无法存入配置文件夹。</translation>
    </message>
    <message>
        <source>VantorOrvik机械键盘</source>
        <translation>VantorOrvik机械键盘</translation>
    </message>
</context>
<context>
    <name>ProfilesPanel</name>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>加载</translation>
    </message>
    <message>
        <source>Load the profile with these keys?</source>
        <translation>是否载入含有这些按键的配置？</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>配置</translation>
    </message>
    <message>
        <source>Profile name</source>
        <translation>配置名称</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Switching &amp;Rules...</source>
        <translation>切换规则(&amp;R)...</translation>
    </message>
</context>
<context>
    <name>Shell</name>
    <message>
        <source>%1 Run &quot;tessaronctl doctor&quot; to see how to fix it.</source>
        <translation>%1运行“tessaronctl doctor”查看解决方法。</translation>
    </message>
    <message>
        <source>%1 is already taken on the session bus: %2</source>
        <translation>会话总线上的 %1 已被占用：%2</translation>
    </message>
    <message>
        <source>%1 needs an interface number (0..255).</source>
        <translation>%1 需要一个接口编号（0..255）。</translation>
    </message>
    <message>
        <source>--data-dir needs a folder.</source>
        <translation>--data-dir 需要一个文件夹。</translation>
    </message>
    <message>
        <source>--instance needs a name.</source>
        <translation>--instance 需要一个名称。</translation>
    </message>
    <message>
        <source>--lang takes english or chinese.</source>
        <translation>--lang 只接受 english 或 chinese。</translation>
    </message>
    <message>
        <source>Could not register %1 on the session bus.</source>
        <translation>无法在会话总线上注册 %1。</translation>
    </message>
    <message>
        <source>Keeps the gaming keyboard&apos;s keys for programs, files and sounds working</source>
        <translation>让游戏键盘上分配给程序、文件和声音的按键保持可用</translation>
    </message>
    <message>
        <source>No application could open &quot;%1&quot;.</source>
        <translation>没有应用程序能够打开“%1”。</translation>
    </message>
    <message>
        <source>No file, folder or program is set for this key.</source>
        <translation>此按键没有设置文件、文件夹或程序。</translation>
    </message>
    <message>
        <source>No session bus: tessaronctl opens the keyboard itself. %1</source>
        <translation>没有会话总线：tessaronctl 将自行打开键盘。%1</translation>
    </message>
    <message>
        <source>No web browser could be started to open %1.</source>
        <translation>无法启动浏览器打开 %1。</translation>
    </message>
    <message>
        <source>Tessaron has %1 calls waiting for the keyboard; try again when they are done.</source>
        <translation>Tessaron 已有 %1 个调用在等待键盘，请在它们完成后再试。</translation>
    </message>
    <message>
        <source>The autostart entry %1 could not be written.</source>
        <translation>无法写入自动启动项 %1。</translation>
    </message>
    <message>
        <source>The file or folder &quot;%1&quot; does not exist.</source>
        <translation>文件或文件夹“%1”不存在。</translation>
    </message>
    <message>
        <source>The program &quot;%1&quot; could not be started.</source>
        <translation>无法启动程序“%1”。</translation>
    </message>
    <message>
        <source>The program %1 could not be started.</source>
        <translation>无法启动程序 %1。</translation>
    </message>
    <message>
        <source>The program %1 was not found in %2.</source>
        <translation>在 %2 中找不到程序 %1。</translation>
    </message>
    <message>
        <source>The program&apos;s path holds a control character and cannot be started at login.</source>
        <translation>程序路径中含有控制字符，无法在登录时启动。</translation>
    </message>
    <message>
        <source>There is no home folder to keep the autostart entry in.</source>
        <translation>没有可存放自动启动项的主文件夹。</translation>
    </message>
    <message>
        <source>There is no profile named &quot;%1&quot; in %2.</source>
        <translation>%2 中没有名为 &quot;%1&quot; 的配置文件。</translation>
    </message>
    <message>
        <source>Unknown option %1.</source>
        <translation>未知选项 %1。</translation>
    </message>
    <message>
        <source>the path is too long for a socket</source>
        <translation>路径太长，无法用作套接字</translation>
    </message>
    <message>
        <source>no graphical desktop was found (DISPLAY and WAYLAND_DISPLAY are not set); start it from your desktop, or use tessaronctl on the command line.</source>
        <translation>未找到图形桌面（未设置 DISPLAY 和 WAYLAND_DISPLAY）；请从桌面启动，或在命令行中使用 tessaronctl。</translation>
    </message>
    <message>
        <source>Usage: tessaron [--data-dir DIR] [--demo] [--lang english|chinese]
                [--command-interface N] [--event-interface N] [--no-splash]
                [--hidden]
       tessaron --help | --version

--demo runs on the virtual keyboard, whose state is kept in the data folder.
--hidden starts in the notification area without showing the window.
</source>
        <translation>用法: tessaron [--data-dir DIR] [--demo] [--lang english|chinese]
               [--command-interface N] [--event-interface N] [--no-splash]
               [--hidden]
      tessaron --help | --version

--demo 使用虚拟键盘运行，其状态保存在数据文件夹中。
--hidden 启动到通知区域，不显示窗口。
</translation>
    </message>
    <message>
        <source>Could not follow the signals that end the program: %1</source>
        <translation>无法接收结束程序的信号：%1</translation>
    </message>
    <message>
        <source>Key presses cannot be received at %1: %2</source>
        <translation>无法在 %1 接收按键：%2</translation>
    </message>
</context>
<context>
    <name>Switching</name>
    <message>
        <source>&quot;%1&quot; is no regular expression: %2</source>
        <translation>&quot;%1&quot; 不是正则表达式。</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>Cannot connect to the X display; windows cannot be followed.</source>
        <translation>无法连接 X 显示；无法跟随窗口。</translation>
    </message>
    <message>
        <source>KWin did not load the script %1: %2</source>
        <translation>KWin 未加载脚本 %1：%2</translation>
    </message>
    <message>
        <source>KWin loaded the script but did not run it.</source>
        <translation>KWin 已加载脚本，但没有运行它。</translation>
    </message>
    <message>
        <source>No Wayland compositor answers (WAYLAND_DISPLAY).</source>
        <translation>没有 Wayland 合成器响应（WAYLAND_DISPLAY）。</translation>
    </message>
    <message>
        <source>No profile is named &quot;%1&quot;.</source>
        <translation>没有名为 &quot;%1&quot; 的配置。</translation>
    </message>
    <message>
        <source>The X display answers no atoms; windows cannot be followed.</source>
        <translation>X 显示未返回原子；无法跟随窗口。</translation>
    </message>
    <message>
        <source>The profile &quot;%1&quot; holds no key settings.</source>
        <translation>配置 &quot;%1&quot; 中没有按键设置。</translation>
    </message>
    <message>
        <source>The session bus cannot be reached.</source>
        <translation>无法连接会话总线。</translation>
    </message>
    <message>
        <source>The window manager does not announce the window in front (_NET_ACTIVE_WINDOW); windows cannot be followed.</source>
        <translation>窗口管理器不提供前台窗口（_NET_ACTIVE_WINDOW）；无法跟随窗口。</translation>
    </message>
    <message>
        <source>This Wayland compositor does not list its windows to other programs (no zwlr_foreign_toplevel_manager_v1).</source>
        <translation>此 Wayland 合成器不向其他程序列出其窗口（没有 zwlr_foreign_toplevel_manager_v1）。</translation>
    </message>
    <message>
        <source>is missing</source>
        <translation>缺少此项</translation>
    </message>
    <message>
        <source>longer than any rules file is</source>
        <translation>超过了规则文件应有的长度</translation>
    </message>
    <message>
        <source>must be &quot;previous&quot; or {&quot;profile&quot;: NAME}</source>
        <translation>应为 &quot;previous&quot; 或 {&quot;profile&quot;: 名称}</translation>
    </message>
    <message>
        <source>must be %1 to %2</source>
        <translation>必须在 %1 到 %2 之间</translation>
    </message>
    <message>
        <source>must be a list [...]</source>
        <translation>必须是列表 [...]</translation>
    </message>
    <message>
        <source>must be a list of conditions</source>
        <translation>应为条件列表</translation>
    </message>
    <message>
        <source>must be a whole number</source>
        <translation>必须是整数</translation>
    </message>
    <message>
        <source>must be an object {...}</source>
        <translation>必须是对象 {...}</translation>
    </message>
    <message>
        <source>must be equals, contains, starts_with or regex</source>
        <translation>应为 equals、contains、starts_with 或 regex</translation>
    </message>
    <message>
        <source>must be program, command_line, class or title</source>
        <translation>应为 program、command_line、class 或 title</translation>
    </message>
    <message>
        <source>must be text in quotes</source>
        <translation>必须是带引号的文本</translation>
    </message>
    <message>
        <source>must be true or false</source>
        <translation>必须是 true 或 false</translation>
    </message>
    <message>
        <source>names no profile</source>
        <translation>没有指定配置</translation>
    </message>
    <message>
        <source>needs either &quot;profile&quot; or &quot;keep&quot;: true</source>
        <translation>需要 &quot;profile&quot; 或 &quot;keep&quot;: true 之一</translation>
    </message>
    <message>
        <source>not JSON: %1</source>
        <translation>不是 JSON：%1</translation>
    </message>
    <message>
        <source>this file has format %1; this Tessaron reads format %2</source>
        <translation>此文件的格式为 %1；本程序读取格式 %2</translation>
    </message>
    <message>
        <source>unknown field</source>
        <translation>未知字段</translation>
    </message>
    <message>
        <source>copy the folder %1 from share/tessaron/gnome-shell/gnome-45 of Tessaron&apos;s installation (gnome-43 for GNOME 43 and 44) into ~/.local/share/gnome-shell/extensions/, log out and in, then run: gnome-extensions enable %1</source>
        <translation>将 %1 文件夹从 Tessaron 安装目录的 share/tessaron/gnome-shell/gnome-45（GNOME 43 和 44 用 gnome-43）复制到 ~/.local/share/gnome-shell/extensions/，注销并重新登录，然后运行：gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>The GNOME Shell extension %1 is installed but off; run: gnome-extensions enable %1</source>
        <translation>GNOME Shell 扩展 %1 已安装但未启用；请运行：gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>GNOME tells Tessaron the window in front only through its extension %1: %2</source>
        <translation>GNOME 只通过扩展 %1 告知 Tessaron 前台窗口：%2</translation>
    </message>
    <message>
        <source>The GNOME Shell extension %1 failed to start or does not fit this GNOME version; see gnome-extensions info %1</source>
        <translation>GNOME Shell 扩展 %1 启动失败或与此 GNOME 版本不兼容；请查看 gnome-extensions info %1</translation>
    </message>
    <message>
        <source>GNOME Shell could not be asked about the extension %1; to follow the window in front, %2</source>
        <translation>无法向 GNOME Shell 查询扩展 %1；若要跟随前台窗口，请%2</translation>
    </message>
    <message>
        <source>an X11 session on display %1</source>
        <translation>显示 %1 上的 X11 会话</translation>
    </message>
    <message>
        <source>neither an X11 display nor a Wayland compositor was found (DISPLAY and WAYLAND_DISPLAY are empty)</source>
        <translation>既未找到 X11 显示，也未找到 Wayland 合成器（DISPLAY 和 WAYLAND_DISPLAY 均为空）</translation>
    </message>
    <message>
        <source>KDE Plasma on Wayland: a KWin script reports the window in front</source>
        <translation>Wayland 上的 KDE Plasma：由 KWin 脚本报告前台窗口</translation>
    </message>
    <message>
        <source>GNOME on Wayland: a GNOME Shell extension reports the window in front</source>
        <translation>Wayland 上的 GNOME：由 GNOME Shell 扩展报告前台窗口</translation>
    </message>
    <message>
        <source>a Wayland session without WAYLAND_DISPLAY: no compositor to ask</source>
        <translation>Wayland 会话中没有 WAYLAND_DISPLAY：没有可询问的合成器</translation>
    </message>
    <message>
        <source>the compositor lists its windows through zwlr_foreign_toplevel_manager_v1</source>
        <translation>合成器通过 zwlr_foreign_toplevel_manager_v1 列出其窗口</translation>
    </message>
    <message>
        <source>unnamed</source>
        <translation>未命名</translation>
    </message>
    <message>
        <source>this Wayland compositor (%1) tells other programs nothing about the window in front</source>
        <translation>此 Wayland 合成器（%1）不向其他程序提供前台窗口的信息</translation>
    </message>
    <message>
        <source>X11</source>
        <translation>X11</translation>
    </message>
    <message>
        <source>wlroots foreign toplevels</source>
        <translation>wlroots 外部顶层窗口协议</translation>
    </message>
    <message>
        <source>KWin script</source>
        <translation>KWin 脚本</translation>
    </message>
    <message>
        <source>GNOME Shell extension</source>
        <translation>GNOME Shell 扩展</translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
</context>
<context>
    <name>Tessaronctl</name>
    <message>
        <source>%1 has no direction; Wave takes up, down, right or left and Radar right or left.</source>
        <translation>%1 没有方向；波浪可取 up、down、right、left，雷达可取 right、left。</translation>
    </message>
    <message>
        <source>%1 has no speed; every effect but Static and DIY1 to DIY5 has one.</source>
        <translation>%1 没有速度；除全亮和 DIY1 到 DIY5 外的灯效都有速度。</translation>
    </message>
    <message>
        <source>%1 holds more than %2 bytes; it was not read.</source>
        <translation>%1 超过 %2 字节；未读取。</translation>
    </message>
    <message>
        <source>%1 is on or off, not &quot;%2&quot;.</source>
        <translation>%1 可取 on 或 off，而不是 &quot;%2&quot;。</translation>
    </message>
    <message>
        <source>%1 is shorter than a device image (%2 bytes).</source>
        <translation>%1 比设备映像（%2 字节）短。</translation>
    </message>
    <message>
        <source>%1 or %2</source>
        <translation>%1、%2</translation>
    </message>
    <message>
        <source>%1 takes the direction %2, not &quot;%3&quot;.</source>
        <translation>%1 的方向可取 %2，而不是 &quot;%3&quot;。</translation>
    </message>
    <message>
        <source>%1 works with --demo only: it acts on the virtual keyboard.</source>
        <translation>%1 只能与 --demo 一起使用：它作用于虚拟键盘。</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1、%2</translation>
    </message>
    <message>
        <source>%1: reported key code %2 to tessaron.</source>
        <translation>%1：已向 tessaron 报告键码 %2。</translation>
    </message>
    <message>
        <source>%1: the keyboard holds no host action for this key, so it reported nothing (assign one and Save first).</source>
        <translation>%1：键盘上此键没有主机动作，因此没有报告（请先分配并保存）。</translation>
    </message>
    <message>
        <source>%1: the keyboard is unplugged, so it reported nothing (tessaronctl --demo plug puts it back).</source>
        <translation>%1：键盘已拔出，因此没有报告（用 tessaronctl --demo plug 重新插入）。</translation>
    </message>
    <message>
        <source>(standard input)</source>
        <translation>（标准输入）</translation>
    </message>
    <message>
        <source>: </source>
        <translation>：</translation>
    </message>
    <message>
        <source>All 32 macros are in use; delete one first.</source>
        <translation>32 个宏都已使用；请先删除一个。</translation>
    </message>
    <message>
        <source>Confirm to return Factory Setting?</source>
        <translation>确认恢复至出厂设置吗？</translation>
    </message>
    <message>
        <source>Importing it needs --allow-host-actions.</source>
        <translation>导入时需要加上 --allow-host-actions。</translation>
    </message>
    <message>
        <source>No effect is called &quot;%1&quot;. Effects: %2.</source>
        <translation>没有名为 &quot;%1&quot; 的灯效。可用灯效：%2。</translation>
    </message>
    <message>
        <source>No function is called &quot;%1&quot;. Functions: %2.</source>
        <translation>没有名为 &quot;%1&quot; 的功能。可用功能：%2。</translation>
    </message>
    <message>
        <source>No key is called &quot;%1&quot;; use a legend or key name as &quot;tessaronctl keys&quot; lists them, or #N.</source>
        <translation>没有名为 &quot;%1&quot; 的按键；请使用 &quot;tessaronctl keys&quot; 列出的按键名称，或 #N。</translation>
    </message>
    <message>
        <source>No macro %1: %2.</source>
        <translation>没有宏 %1：%2。</translation>
    </message>
    <message>
        <source>No profile is named &quot;%1&quot; (see tessaronctl profile list).</source>
        <translation>没有名为 &quot;%1&quot; 的配置（见 tessaronctl profile list）。</translation>
    </message>
    <message>
        <source>No setting is called &quot;%1&quot;. Settings: game-mode, win-lock, response-time, report-rate.</source>
        <translation>没有名为 &quot;%1&quot; 的设置。可用设置：game-mode、win-lock、response-time、report-rate。</translation>
    </message>
    <message>
        <source>Nothing was changed. Import with --allow-host-actions to accept them.</source>
        <translation>未做任何更改。若接受这些操作，请加上 --allow-host-actions 再导入。</translation>
    </message>
    <message>
        <source>Nothing was changed. Load with --allow-host-actions to accept them.</source>
        <translation>未做任何更改。若接受这些操作，请加上 --allow-host-actions 再载入。</translation>
    </message>
    <message>
        <source>Nothing was changed: the reset was not confirmed (answer y, or give --yes).</source>
        <translation>未做任何更改：没有确认恢复出厂设置（请回答 y，或加上 --yes）。</translation>
    </message>
    <message>
        <source>Nothing was done.</source>
        <translation>未执行。</translation>
    </message>
    <message>
        <source>The DIY light maps are 1 to 5, not &quot;%1&quot;.</source>
        <translation>DIY 灯光图为 1 到 5，而不是 &quot;%1&quot;。</translation>
    </message>
    <message>
        <source>The Tessaron window answered: %1</source>
        <translation>Tessaron 窗口回答：%1</translation>
    </message>
    <message>
        <source>The Tessaron window holds the keyboard and sends only keymap.bin of its data folder: close it to apply %1.</source>
        <translation>Tessaron 窗口占用着键盘，只发送其数据文件夹中的 keymap.bin：请关闭窗口后再应用 %1。</translation>
    </message>
    <message>
        <source>The Tessaron window runs and follows the window in front itself (see its Switching Rules); rules follow is for when it is not running.</source>
        <translation>Tessaron 窗口正在运行并自行跟随前台窗口（见其“切换规则”）；rules follow 仅用于窗口未运行时。</translation>
    </message>
    <message>
        <source>The brightness is 0 to 50, not &quot;%1&quot;.</source>
        <translation>亮度为 0 到 50，而不是 &quot;%1&quot;。</translation>
    </message>
    <message>
        <source>The direction is %1, not &quot;%2&quot;.</source>
        <translation>方向可取 %1，而不是 &quot;%2&quot;。</translation>
    </message>
    <message>
        <source>The key &quot;%1&quot; cannot be reassigned.</source>
        <translation>按键 &quot;%1&quot; 不能重新分配。</translation>
    </message>
    <message>
        <source>The report rate is 125, 250, 500 or 1000, not &quot;%1&quot;.</source>
        <translation>USB 报告率可取 125、250、500 或 1000，而不是 &quot;%1&quot;。</translation>
    </message>
    <message>
        <source>The response time is 2, 4, 6, 8, 10, 12, 14, 16, 18 or 20 ms, not &quot;%1&quot;.</source>
        <translation>按键响应时间可取 2、4、6、8、10、12、14、16、18 或 20 毫秒，而不是 &quot;%1&quot;。</translation>
    </message>
    <message>
        <source>The running tessaron --demo gave an unexpected answer.</source>
        <translation>正在运行的 tessaron --demo 给出了意外的回答。</translation>
    </message>
    <message>
        <source>The speed is 0 (slow) to 9 (fast), not &quot;%1&quot;.</source>
        <translation>速度为 0（慢）到 9（快），而不是 &quot;%1&quot;。</translation>
    </message>
    <message>
        <source>The virtual keyboard is plugged in; the window reads it after 2 seconds.</source>
        <translation>虚拟键盘已插入；窗口会在 2 秒后读取它。</translation>
    </message>
    <message>
        <source>The virtual keyboard is unplugged.</source>
        <translation>虚拟键盘已拔出。</translation>
    </message>
    <message>
        <source>There are no keyboard settings in %1 yet, and they cannot be read: %2 Connect the keyboard (or use --demo) and try again.</source>
        <translation>%1 中还没有键盘设置，也无法读取：%2 请连接键盘（或使用 --demo）后重试。</translation>
    </message>
    <message>
        <source>There are six profiles already, the most the Configure folder keeps; delete one before copying.</source>
        <translation>已有六个配置，这是 Configure 文件夹最多能保存的数量；请先删除一个再拷贝。</translation>
    </message>
    <message>
        <source>There is no file &quot;%1&quot;.</source>
        <translation>文件 &quot;%1&quot; 不存在。</translation>
    </message>
    <message>
        <source>There is no folder &quot;%1&quot;.</source>
        <translation>文件夹 &quot;%1&quot; 不存在。</translation>
    </message>
    <message>
        <source>code %1 (not in the list)</source>
        <translation>代码 %1（不在列表中）</translation>
    </message>
    <message>
        <source>macros are numbered 0 to %1</source>
        <translation>宏的编号为 0 到 %1</translation>
    </message>
    <message>
        <source>no key &quot;%1&quot; (see tessaronctl keys).</source>
        <translation>没有按键 &quot;%1&quot;（参见 tessaronctl keys）。</translation>
    </message>
    <message>
        <source>press works with --demo only: it presses a key of the virtual keyboard.</source>
        <translation>press 只能与 --demo 一起使用：它按下的是虚拟键盘上的键。</translation>
    </message>
    <message>
        <source>there are no macros</source>
        <translation>没有任何宏</translation>
    </message>
    <message>
        <source>there are no macros yet</source>
        <translation>还没有任何宏</translation>
    </message>
    <message>
        <source>usage: tessaronctl %1</source>
        <translation>用法: tessaronctl %1</translation>
    </message>
    <message>
        <source>Exports the whole configuration as JSON, checks a file, or imports one into keymap.bin and MacroDefine.bin (send it with apply). A refused file exits with 2; keys that would run something need --allow-host-actions (else exit 3).</source>
        <translation>将整个配置导出为 JSON、检查文件，或将文件导入 keymap.bin 和 MacroDefine.bin（用 apply 发送）。被拒绝的文件以 2 退出；会运行程序的按键需要 --allow-host-actions（否则以 3 退出）。</translation>
    </message>
    <message>
        <source>List the keyboard&apos;s HID interfaces and the channel each would serve.</source>
        <translation>列出键盘的 HID 接口及每个接口对应的通道。</translation>
    </message>
    <message>
        <source>Read the keyboard and print its settings (writes nothing).</source>
        <translation>读取键盘并打印其设置（不写入任何内容）。</translation>
    </message>
    <message>
        <source>Read the keyboard into the device image of keymap.bin in the data folder.</source>
        <translation>将键盘读入数据文件夹中 keymap.bin 的设备映像。</translation>
    </message>
    <message>
        <source>Send what differs between FILE (default keymap.bin) and the keyboard.</source>
        <translation>发送 FILE（默认为 keymap.bin）与键盘之间的差异。</translation>
    </message>
    <message>
        <source>Restore the keyboard&apos;s factory settings and rewrite keymap.bin.</source>
        <translation>恢复键盘的出厂设置并重写 keymap.bin。</translation>
    </message>
    <message>
        <source>Tell whether this user can use the keyboard, and how to fix it if not.</source>
        <translation>检查当前用户能否使用键盘，不能时说明解决方法。</translation>
    </message>
    <message>
        <source>List every key with its assignment, enabled state and modified mark.</source>
        <translation>列出每个按键及其分配、启用状态和修改标记。</translation>
    </message>
    <message>
        <source>Assign a key as the key page does and write keymap.bin (send it with apply, or at once with --apply).</source>
        <translation>像按键页面一样分配按键并写入 keymap.bin（用 apply 发送，或用 --apply 立即发送）。</translation>
    </message>
    <message>
        <source>Print the lighting, or choose the effect, speed, brightness and direction as the Light section does; writes keymap.bin.</source>
        <translation>打印灯光设置，或像灯光页面一样选择效果、速度、亮度和方向；写入 keymap.bin。</translation>
    </message>
    <message>
        <source>Light (on) or darken (off) keys in DIY light map N (1..5) as a click in DIY mode does; writes keymap.bin.</source>
        <translation>像在 DIY 模式中点击一样，在 DIY 灯光图 N（1..5）中点亮（on）或熄灭（off）按键；写入 keymap.bin。</translation>
    </message>
    <message>
        <source>Set game mode, Win Lock, response time (2..20 ms) or report rate (125, 250, 500, 1000); writes keymap.bin.</source>
        <translation>设置游戏模式、Win 锁定、响应时间（2..20 毫秒）或回报率（125、250、500、1000）；写入 keymap.bin。</translation>
    </message>
    <message>
        <source>Lists, shows, exports, imports (text form) and deletes macros; import and delete pack the macros into keymap.bin.</source>
        <translation>列出、显示、导出、导入（文本形式）和删除宏；导入和删除会将宏打包进 keymap.bin。</translation>
    </message>
    <message>
        <source>Print the command, key, effect or function names the other commands accept, one a line.</source>
        <translation>每行一个，打印其他命令接受的命令、按键、效果或功能名称。</translation>
    </message>
    <message>
        <source>usage: tessaronctl --demo %1</source>
        <translation>用法: tessaronctl --demo %1</translation>
    </message>
    <message>
        <source>with --demo: press a key of the virtual keyboard of a running tessaron --demo (host actions)</source>
        <translation>配合 --demo：按下正在运行的 tessaron --demo 中虚拟键盘的一个按键（主机操作）</translation>
    </message>
    <message>
        <source>with --demo: unplug the virtual keyboard of a running tessaron --demo</source>
        <translation>配合 --demo：拔出正在运行的 tessaron --demo 的虚拟键盘</translation>
    </message>
    <message>
        <source>with --demo: plug the virtual keyboard of a running tessaron --demo in again</source>
        <translation>配合 --demo：重新插入正在运行的 tessaron --demo 的虚拟键盘</translation>
    </message>
    <message>
        <source>Manages the six profiles of the Configure folder: saves keymap.bin into one, loads a file into keymap.bin, copies, renames, deletes.</source>
        <translation>管理 Configure 文件夹中的六个配置：将 keymap.bin 保存到其中一个、将文件载入 keymap.bin、复制、重命名、删除。</translation>
    </message>
    <message>
        <source>--at needs a position from 1 to %1.</source>
        <translation>--at 需要 1 到 %1 之间的位置。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no test (equals, contains, starts_with, regex).</source>
        <translation>“%1”不是有效的测试（equals、contains、starts_with、regex）。</translation>
    </message>
    <message>
        <source>There is no rule %1 (see tessaronctl rules list).</source>
        <translation>没有规则 %1（见 tessaronctl rules list）。</translation>
    </message>
    <message>
        <source>Rules are numbered 1 to %1 (see tessaronctl rules list).</source>
        <translation>规则编号为 1 到 %1（见 tessaronctl rules list）。</translation>
    </message>
    <message>
        <source>--pid needs a process number.</source>
        <translation>--pid 需要一个进程号。</translation>
    </message>
    <message>
        <source>No process %1 can be read here.</source>
        <translation>此处无法读取进程 %1。</translation>
    </message>
    <message>
        <source>The limit is 1 to 3600 writes an hour.</source>
        <translation>上限为每小时 1 到 3600 次写入。</translation>
    </message>
    <message>
        <source>Automatic switching is not available on this desktop: %1.</source>
        <translation>此桌面不支持自动切换：%1。</translation>
    </message>
    <message>
        <source>Here the %1 reports the window in front to the Tessaron window; rules follow works on X11 and wlroots desktops.</source>
        <translation>此处由 %1 向 Tessaron 窗口报告前台窗口；rules follow 仅适用于 X11 和 wlroots 桌面。</translation>
    </message>
    <message>
        <source>Rules of automatic profile switching: which profile the keyboard takes when a window comes to the front; test shows which rule a window meets; follow switches on X11 and wlroots desktops; list says how the window in front is learned here.</source>
        <translation>自动切换配置的规则：窗口切到前台时键盘使用哪个配置；test 显示窗口符合哪条规则；follow 在 X11 和 wlroots 桌面上切换；list 说明此处如何获知前台窗口。</translation>
    </message>
    <message>
        <source>Usage: tessaronctl [--data-dir DIR] [--demo] [--lang english|chinese]
                   [--command-interface N] [--event-interface N] COMMAND [ARGS]
       tessaronctl --help | --version | help COMMAND | COMMAND --help

Commands:
</source>
        <translation>用法: tessaronctl [--data-dir DIR] [--demo] [--lang english|chinese]
                  [--command-interface N] [--event-interface N] COMMAND [ARGS]
      tessaronctl --help | --version | help COMMAND | COMMAND --help

命令:
</translation>
    </message>
    <message>
        <source>
--demo uses the virtual keyboard, whose state is kept in the data folder.
Exit status: 0 done, 1 a file or the keyboard failed, 2 a wrong command line or a
value refused, 3 keys that would run something were not allowed.
</source>
        <translation>
--demo 使用虚拟键盘，其状态保存在数据文件夹中。
退出状态：0 完成，1 文件或键盘出错，2 命令行有误或值被拒绝，
3 不允许会运行程序的按键。
</translation>
    </message>
    <message>
        <source>no command is called &quot;%1&quot; (see tessaronctl --help).</source>
        <translation>没有名为“%1”的命令（见 tessaronctl --help）。</translation>
    </message>
    <message>
        <source>Print the usage of every command, or of one, on standard output.</source>
        <translation>在标准输出上打印所有命令或某个命令的用法。</translation>
    </message>
    <message>
        <source>--data-dir needs a folder.</source>
        <translation>--data-dir 需要一个文件夹。</translation>
    </message>
    <message>
        <source>--lang needs english or chinese.</source>
        <translation>--lang 需要 english 或 chinese。</translation>
    </message>
    <message>
        <source>--lang takes english or chinese.</source>
        <translation>--lang 只接受 english 或 chinese。</translation>
    </message>
    <message>
        <source>%1 needs an interface number (0..255).</source>
        <translation>%1 需要一个接口编号（0..255）。</translation>
    </message>
    <message>
        <source>unknown option %1 (see tessaronctl --help).</source>
        <translation>未知选项 %1（见 tessaronctl --help）。</translation>
    </message>
    <message>
        <source>unknown command &quot;%1&quot; (see tessaronctl --help).</source>
        <translation>未知命令“%1”（见 tessaronctl --help）。</translation>
    </message>
    <message>
        <source>Read the keyboard&apos;s settings into %1.</source>
        <translation>已将键盘设置读入 %1。</translation>
    </message>
    <message>
        <source>The keyboard already holds these settings.</source>
        <translation>键盘已保存这些设置。</translation>
    </message>
    <message>
        <source>sending: %1</source>
        <translation>正在发送：%1</translation>
    </message>
    <message>
        <source>Written to %1; &quot;tessaronctl apply&quot; sends it to the keyboard.</source>
        <translation>已写入 %1；用“tessaronctl apply”将其发送到键盘。</translation>
    </message>
    <message>
        <source>on</source>
        <translation>开启</translation>
    </message>
    <message>
        <source>off</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <source>unknown (%1)</source>
        <translation>未知（%1）</translation>
    </message>
    <message>
        <source>Game mode: %1</source>
        <translation>游戏模式：%1</translation>
    </message>
    <message>
        <source>Win Lock: %1</source>
        <translation>Win Lock模式：%1</translation>
    </message>
    <message>
        <source>Response time: %1 ms</source>
        <translation>按键响应时间：%1 毫秒</translation>
    </message>
    <message>
        <source>Report rate: %1 reports per second</source>
        <translation>USB报告率：每秒 %1 次</translation>
    </message>
    <message>
        <source>left out %1: no words of the configuration describe it.</source>
        <translation>已略去 %1：配置文件中没有可描述它的写法。</translation>
    </message>
    <message>
        <source>Exported the configuration to %1</source>
        <translation>已将配置导出到 %1</translation>
    </message>
    <message>
        <source>%1: a configuration of %2 keys and %3 macros.</source>
        <translation>%1：包含 %2 个按键和 %3 个宏的配置。</translation>
    </message>
    <message>
        <source>Imported the configuration into keymap.bin and MacroDefine.bin and the switching rules into rules.json; send it to the keyboard with &quot;tessaronctl apply&quot;.</source>
        <translation>已将配置导入 keymap.bin 和 MacroDefine.bin，并将切换规则导入 rules.json；用“tessaronctl apply”将其发送到键盘。</translation>
    </message>
    <message>
        <source>Imported the configuration into keymap.bin and MacroDefine.bin; send it to the keyboard with &quot;tessaronctl apply&quot;.</source>
        <translation>已将配置导入 keymap.bin 和 MacroDefine.bin；用“tessaronctl apply”将其发送到键盘。</translation>
    </message>
    <message>
        <source>Imported %1 into keymap.bin and MacroDefine.bin and the switching rules into rules.json; send it to the keyboard with &quot;tessaronctl apply&quot;.</source>
        <translation>已将 %1 导入 keymap.bin 和 MacroDefine.bin，并将切换规则导入 rules.json；用“tessaronctl apply”将其发送到键盘。</translation>
    </message>
    <message>
        <source>Imported %1 into keymap.bin and MacroDefine.bin; send it to the keyboard with &quot;tessaronctl apply&quot;.</source>
        <translation>已将 %1 导入 keymap.bin 和 MacroDefine.bin；用“tessaronctl apply”将其发送到键盘。</translation>
    </message>
    <message>
        <source>command channel</source>
        <translation>命令通道</translation>
    </message>
    <message>
        <source>event channel</source>
        <translation>事件通道</translation>
    </message>
    <message>
        <source>unused</source>
        <translation>未使用</translation>
    </message>
    <message>
        <source>interface %1</source>
        <translation>接口 %1</translation>
    </message>
    <message>
        <source>(no permission)</source>
        <translation>（无权限）</translation>
    </message>
    <message>
        <source>code %1</source>
        <translation>代码 %1</translation>
    </message>
    <message>
        <source>Firmware version: %1</source>
        <translation>固件版本：%1</translation>
    </message>
    <message>
        <source>Effect: %1</source>
        <translation>灯效：%1</translation>
    </message>
    <message>
        <source>Speed: %1</source>
        <translation>速度：%1</translation>
    </message>
    <message>
        <source>Brightness: %1</source>
        <translation>亮度：%1</translation>
    </message>
    <message>
        <source>Option: %1</source>
        <translation>选项：%1</translation>
    </message>
    <message>
        <source>Direction: %1</source>
        <translation>方向：%1</translation>
    </message>
    <message>
        <source>Macro slots in use: %1</source>
        <translation>已用的宏槽位：%1</translation>
    </message>
    <message>
        <source>Disabled keys: %1</source>
        <translation>已禁用的按键：%1</translation>
    </message>
    <message>
        <source>Key cells that differ from factory: none</source>
        <translation>与出厂不同的按键单元：无</translation>
    </message>
    <message>
        <source>Key cells that differ from factory:</source>
        <translation>与出厂不同的按键单元：</translation>
    </message>
    <message>
        <source>column %1, row %2: %3 (factory %4)</source>
        <translation>第 %1 列，第 %2 行：%3（出厂 %4）</translation>
    </message>
    <message>
        <source>column %1, row %2 (%3): %4 (factory %5)</source>
        <translation>第 %1 列，第 %2 行（%3）：%4（出厂 %5）</translation>
    </message>
    <message>
        <source>Read the keyboard (firmware %1) into %2</source>
        <translation>已将键盘（固件 %1）读入 %2</translation>
    </message>
    <message>
        <source>The keyboard is back to its factory settings; the Tessaron window rewrote %1.</source>
        <translation>键盘已恢复出厂设置；Tessaron 窗口已重写 %1。</translation>
    </message>
    <message>
        <source>The keyboard is back to its factory settings; %1 was rewritten.</source>
        <translation>键盘已恢复出厂设置；已重写 %1。</translation>
    </message>
    <message>
        <source>sound %1</source>
        <translation>播放声音 %1</translation>
    </message>
    <message>
        <source>program %1</source>
        <translation>启动程序 %1</translation>
    </message>
    <message>
        <source>file %1</source>
        <translation>打开文件 %1</translation>
    </message>
    <message>
        <source>folder %1</source>
        <translation>打开目录 %1</translation>
    </message>
    <message>
        <source>default</source>
        <translation>默认</translation>
    </message>
    <message>
        <source>single %1</source>
        <translation>单键 %1</translation>
    </message>
    <message>
        <source>single (%1 keys)</source>
        <translation>单键（%1 个键）</translation>
    </message>
    <message>
        <source>combo</source>
        <translation>组合键</translation>
    </message>
    <message>
        <source>combo %1</source>
        <translation>组合键 %1</translation>
    </message>
    <message>
        <source>macro %1</source>
        <translation>宏 %1</translation>
    </message>
    <message>
        <source>macro (none)</source>
        <translation>宏（无）</translation>
    </message>
    <message>
        <source>function %1</source>
        <translation>功能 %1</translation>
    </message>
    <message>
        <source>function (unknown)</source>
        <translation>功能（未知）</translation>
    </message>
    <message>
        <source>(no path)</source>
        <translation>（无路径）</translation>
    </message>
    <message>
        <source>none chosen (kind %1)</source>
        <translation>未选择（类型 %1）</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>键</translation>
    </message>
    <message>
        <source>Legend</source>
        <translation>键帽</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Cell</source>
        <translation>单元</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>启用</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>已修改</translation>
    </message>
    <message>
        <source>Assignment</source>
        <translation>分配</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>no</source>
        <translation>否</translation>
    </message>
    <message>
        <source>Speed: %1 (0 slow .. 9 fast)</source>
        <translation>速度：%1（0 慢 .. 9 快）</translation>
    </message>
    <message>
        <source>Speed: %1 (not used by this effect)</source>
        <translation>速度：%1（此灯效不使用）</translation>
    </message>
    <message>
        <source>Brightness: %1 (0 .. 50)</source>
        <translation>亮度：%1（0 .. 50）</translation>
    </message>
    <message>
        <source>Direction: %1 (not used by this effect)</source>
        <translation>方向：%1（此灯效不使用）</translation>
    </message>
    <message>
        <source>DIY%1 %2</source>
        <translation>DIY%1 %2 个</translation>
    </message>
    <message>
        <source>Lit keys: %1</source>
        <translation>点亮的按键：%1</translation>
    </message>
    <message>
        <source>Lit in DIY%1: %2</source>
        <translation>DIY%1 中点亮的按键：%2</translation>
    </message>
    <message>
        <source>DIY%1 lit: %2</source>
        <translation>DIY%1 已点亮：%2</translation>
    </message>
    <message>
        <source>DIY%1 dark: %2</source>
        <translation>DIY%1 已熄灭：%2</translation>
    </message>
    <message>
        <source>The keyboard shows this map with &quot;tessaronctl light DIY%1&quot;.</source>
        <translation>用“tessaronctl light DIY%1”让键盘显示此灯光图。</translation>
    </message>
    <message>
        <source>No macros.</source>
        <translation>没有宏。</translation>
    </message>
    <message>
        <source>%1 event</source>
        <translation>%1 个事件</translation>
    </message>
    <message>
        <source>%1 events</source>
        <translation>%1 个事件</translation>
    </message>
    <message>
        <source>%1 loop</source>
        <translation>循环 %1 次</translation>
    </message>
    <message>
        <source>%1 loops</source>
        <translation>循环 %1 次</translation>
    </message>
    <message>
        <source>(%1, %2, beyond the keyboard&apos;s 32 slots)</source>
        <translation>（%1，%2，超出键盘的 32 个槽位）</translation>
    </message>
    <message>
        <source>(%1, %2)</source>
        <translation>（%1，%2）</translation>
    </message>
    <message>
        <source>(loops %1)</source>
        <translation>（循环 %1 次）</translation>
    </message>
    <message>
        <source>Exported macro %1 to %2</source>
        <translation>已将宏 %1 导出到 %2</translation>
    </message>
    <message>
        <source>Imported &quot;%1&quot; as macro %2; assign it with &quot;tessaronctl assign KEY macro %2&quot; and send it with &quot;tessaronctl apply&quot;.</source>
        <translation>已将 &quot;%1&quot; 导入为宏 %2；用“tessaronctl assign KEY macro %2”分配它，再用“tessaronctl apply”发送。</translation>
    </message>
    <message>
        <source>Deleted macro %1 &quot;%2&quot;; later macros moved down by one, and keys assigned to them now play the macro that took their number.</source>
        <translation>已删除宏 %1 &quot;%2&quot;；其后的宏编号各减一，分配给它们的按键现在播放接替该编号的宏。</translation>
    </message>
    <message>
        <source>Deleted macro %1 &quot;%2&quot;.</source>
        <translation>已删除宏 %1 &quot;%2&quot;。</translation>
    </message>
    <message>
        <source>No profiles in %1</source>
        <translation>%1 中没有配置</translation>
    </message>
    <message>
        <source>Created profile &quot;%1&quot;.</source>
        <translation>已新建配置 &quot;%1&quot;。</translation>
    </message>
    <message>
        <source>Copied &quot;%1&quot;.</source>
        <translation>已复制 &quot;%1&quot;。</translation>
    </message>
    <message>
        <source>Saved the configuration of keymap.bin into &quot;%1&quot; and %2.</source>
        <translation>已将 keymap.bin 中的设置保存到 &quot;%1&quot; 和 %2。</translation>
    </message>
    <message>
        <source>Saved the configuration of keymap.bin into &quot;%1&quot;.</source>
        <translation>已将 keymap.bin 中的设置保存到 &quot;%1&quot;。</translation>
    </message>
    <message>
        <source>Loaded %1 into keymap.bin and profile &quot;%2&quot;; send it to the keyboard with &quot;tessaronctl apply&quot;.</source>
        <translation>已将 %1 载入 keymap.bin 和配置 &quot;%2&quot;；用“tessaronctl apply”将其发送到键盘。</translation>
    </message>
    <message>
        <source>Deleted &quot;%1&quot;.</source>
        <translation>已删除 &quot;%1&quot;。</translation>
    </message>
    <message>
        <source>Renamed &quot;%1&quot;.</source>
        <translation>已重命名 &quot;%1&quot;。</translation>
    </message>
    <message>
        <source>not %1</source>
        <translation>非 %1</translation>
    </message>
    <message>
        <source>%1 (case-sensitive)</source>
        <translation>%1（区分大小写）</translation>
    </message>
    <message>
        <source>profile &quot;%1&quot;</source>
        <translation>配置 &quot;%1&quot;</translation>
    </message>
    <message>
        <source>leave the keyboard as it is</source>
        <translation>保持键盘不变</translation>
    </message>
    <message>
        <source>back to what the keyboard held before</source>
        <translation>恢复键盘之前的设置</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 且 %2</translation>
    </message>
    <message>
        <source>%1 (off)</source>
        <translation>%1（已停用）</translation>
    </message>
    <message>
        <source>note: no profile is named &quot;%1&quot; yet (see tessaronctl profile list).</source>
        <translation>注意：还没有名为 &quot;%1&quot; 的配置（见 tessaronctl profile list）。</translation>
    </message>
    <message>
        <source>Automatic switching: %1; wait %2 ms; at most %3 writes an hour</source>
        <translation>自动切换：%1；等待 %2 毫秒；每小时最多写入 %3 次</translation>
    </message>
    <message>
        <source>No rules.</source>
        <translation>没有规则。</translation>
    </message>
    <message>
        <source>Otherwise: %1</source>
        <translation>否则：%1</translation>
    </message>
    <message>
        <source>Window in front from: %1 (%2)</source>
        <translation>前台窗口信息来源：%1（%2）</translation>
    </message>
    <message>
        <source>Added rule %1: %2</source>
        <translation>已添加规则 %1：%2</translation>
    </message>
    <message>
        <source>Removed rule %1: %2</source>
        <translation>已删除规则 %1：%2</translation>
    </message>
    <message>
        <source>Moved rule %1 to %2.</source>
        <translation>已将规则 %1 移到 %2。</translation>
    </message>
    <message>
        <source>program: %1</source>
        <translation>程序：%1</translation>
    </message>
    <message>
        <source>command line: %1</source>
        <translation>命令行：%1</translation>
    </message>
    <message>
        <source>rule %1: %2</source>
        <translation>规则 %1：%2</translation>
    </message>
    <message>
        <source>no rule: otherwise profile &quot;%1&quot;</source>
        <translation>没有规则成立：否则使用配置 &quot;%1&quot;</translation>
    </message>
    <message>
        <source>no rule: back to what the keyboard held before</source>
        <translation>没有规则成立：恢复键盘之前的设置</translation>
    </message>
    <message>
        <source>(automatic switching is off)</source>
        <translation>（自动切换已关闭）</translation>
    </message>
    <message>
        <source>Otherwise: %1.</source>
        <translation>否则：%1。</translation>
    </message>
    <message>
        <source>At most %1 writes an hour.</source>
        <translation>每小时最多写入 %1 次。</translation>
    </message>
    <message>
        <source>Automatic switching is on.</source>
        <translation>自动切换已开启。</translation>
    </message>
    <message>
        <source>Automatic switching is off.</source>
        <translation>自动切换已关闭。</translation>
    </message>
    <message>
        <source>in front: %1 / %2 &quot;%3&quot; (pid %4)</source>
        <translation>前台：%1 / %2 &quot;%3&quot;（进程 %4）</translation>
    </message>
    <message>
        <source>Following the window in front (%1); Ctrl+C ends.</source>
        <translation>正在跟随前台窗口（%1）；按 Ctrl+C 结束。</translation>
    </message>
    <message>
        <source>%1 switches sent, %2 found the keyboard holding the profile already.</source>
        <translation>已发送 %1 次切换，%2 次键盘已是该配置。</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>标准输入</translation>
    </message>
</context>
<context>
    <name>Ui</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
</TS>
