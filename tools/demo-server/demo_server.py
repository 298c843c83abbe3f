#!/usr/bin/env python3
"""The demo's one server: the game portal's pages and the update files.

See README.md beside this file for the flags and what each path serves.
"""
import argparse
import datetime
import html
import http.server
import os
import sys
import threading
import urllib.parse

PAGE = """<!DOCTYPE html>
<html lang="zh-CN"><head><meta charset="utf-8"><title>{title}</title>
<style>
body {{ margin: 0; font-family: "Microsoft YaHei", "WenQuanYi Micro Hei", sans-serif;
       background: linear-gradient(#1d2b3a, #0e1620); color: #e8e2d0; }}
main {{ max-width: 640px; margin: 48px auto; padding: 24px 32px; background: rgba(255,255,255,0.06);
       border: 1px solid #6b5a33; border-radius: 8px; }}
h1 {{ color: #e6c36a; font-weight: normal; letter-spacing: 2px; }}
a {{ color: #f0d58c; }}
.button {{ display: inline-block; padding: 10px 28px; margin-top: 12px; background: #a8322d; color: #fff;
          text-decoration: none; border-radius: 4px; }}
input {{ padding: 6px; margin: 4px 0 12px; width: 240px; }}
</style></head>
<body><main><h1>{title}</h1>{body}</main></body></html>
"""


def page(title, body):
    return PAGE.format(title=html.escape(title), body=body).encode("utf-8")


# The launcher's built-in paths. Every host of the demo build is this server,
# so each link is built from the host the request came to.
ENTRY_PATH = "/games/duz/togame.php?target=tlvx"  # the game entry: opens the game window
GAME_PAGE_PATH = "/games/tlvx/"
PARTNER_A_GUEST_PATH = "/guest/c/?gid=dova"  # loaded in the page window
PARTNER_LOGOUT_PATH = "/index.php/user/login/logout"  # partners B and C, loaded in the page window
FORGOT_PASSWORD_PATH = "/index.php/user/login/forgot_password"  # partner C, opens the default browser

# The login page fills the launcher's page window (545 x 384) and uses what a
# portal page uses of it: the launcher's window.external methods, a login
# form, the links the page window treats specially, a new window and alert().
# ES5 only: the page window is the system's browser engine.
LOGIN_PAGE = """<!DOCTYPE html>
<html lang="zh-CN"><head><meta charset="utf-8">
<meta http-equiv="X-UA-Compatible" content="IE=edge">
<title>Morvane 登录</title>
<style>
html, body {{ margin: 0; padding: 0; overflow: hidden; }}
body {{ width: 545px; height: 384px; font: 13px/1.6 "Microsoft YaHei", "SimSun", "WenQuanYi Micro Hei", sans-serif;
       background: #142030; color: #e8e2d0; }}
a {{ color: #f0d58c; }}
.bar {{ height: 34px; padding: 0 10px; background: #0c1520; border-bottom: 1px solid #6b5a33; }}
.bar h1 {{ float: left; margin: 0; font-size: 15px; line-height: 34px; font-weight: normal; color: #e6c36a; }}
.bar .tools {{ float: right; padding-top: 5px; }}
.col {{ float: left; box-sizing: border-box; height: 310px; padding: 10px 14px; }}
.left {{ width: 290px; border-right: 1px solid #3a3220; }}
.right {{ width: 255px; }}
h2 {{ margin: 0 0 6px; font-size: 13px; color: #e6c36a; font-weight: normal; }}
label {{ display: block; }}
input {{ width: 220px; padding: 3px 5px; margin: 2px 0 6px; font: inherit; }}
button {{ font: inherit; padding: 2px 10px; margin: 2px 0; cursor: pointer; }}
.go {{ display: inline-block; padding: 4px 22px; background: #a8322d; color: #fff; text-decoration: none;
       border: 0; border-radius: 3px; }}
ul {{ margin: 0 0 8px; padding-left: 18px; }}
#launcher-status {{ margin-left: 12px; font-size: 12px; color: #9aa4ad; }}
#launcher-status.on {{ color: #7fd17f; }}
#status-line {{ clear: both; height: 38px; padding: 0 10px; line-height: 38px; font-size: 12px;
               color: #9aa4ad; border-top: 1px solid #3a3220; overflow: hidden; white-space: nowrap; }}
</style></head>
<body>
<div class="bar">
  <h1>Morvane 账号登录<span id="launcher-status">未检测到启动器 · launcher not detected</span></h1>
  <div class="tools">
    <button id="btn-min" type="button" onclick="callLauncher('fnMin', function () {{ window.external.fnMin(); }})">最小化</button>
    <button id="btn-close" type="button" onclick="callLauncher('fnClose', function () {{ window.external.fnClose(); }})">关闭</button>
  </div>
</div>
<div class="col left">
  <form id="login-form" onsubmit="location.href = document.getElementById('link-entry').href; return false;">
    <label>账号<br><input id="user" name="user" type="text" value="demo" autocomplete="username"></label>
    <label>密码<br><input id="pass" name="pass" type="password" value="demo" autocomplete="current-password"></label>
    <button id="btn-login" class="go" type="submit">登录</button>
    <a id="link-forgot" href="{forgot}">忘记密码？</a>
  </form>
  <p><a id="link-entry" class="go" href="{entry}">进入游戏</a></p>
  <button id="btn-open-window" type="button" data-url="{game_page}"
          onclick="var url = this.getAttribute('data-url'); callLauncher('fnOpenNewWindow', function () {{ window.external.fnOpenNewWindow(url); }})">在游戏窗口中打开</button>
  <button id="btn-alert" type="button" onclick="alert('欢迎回来，少侠！'); report('alert-returned')">弹出提示</button>
</div>
<div class="col right">
  <h2>合作平台</h2>
  <ul>
    <li><a id="link-partner-a" href="{partner_a}">平台 A 游客试玩</a></li>
    <li><a id="link-partner-b" href="{partner_b}">平台 B 退出登录</a></li>
    <li><a id="link-partner-c" href="{partner_c}">平台 C 退出登录</a></li>
  </ul>
  <h2>更多</h2>
  <ul>
    <li><a id="link-new-window" href="{service}" target="_blank">客服中心（新窗口）</a></li>
    <li><a id="link-home" href="{game_page}">官方网站</a></li>
    <li><a id="link-forum" href="{forum}">玩家论坛</a></li>
  </ul>
</div>
<div id="status-line">就绪</div>
<script>
function setText(id, text) {{
  document.getElementById(id).innerText = text;
}}
// What the page did, as a request the server's log shows (the whole-program
// tests read it there).
function report(what) {{
  var beacon = new Image();
  beacon.src = "/report?" + encodeURIComponent(what) + "&at=" + (new Date()).getTime();
}}
function callLauncher(name, call) {{
  try {{
    call();
    report(name + "-returned");
    setText("status-line", name + " 已调用");
  }} catch (e) {{
    setText("status-line", name + " 不可用：" + (e && e.message ? e.message : e));
  }}
}}
(function () {{
  // Outside the launcher the member is missing: the system's engine throws,
  // other browsers give undefined.
  var found = false;
  try {{
    found = typeof window.external.BrowserEx !== "undefined";
  }} catch (e) {{
    found = false;
  }}
  if (found) {{
    setText("launcher-status", "已检测到启动器 · launcher detected");
    document.getElementById("launcher-status").className = "on";
  }}
  report(found && window.external.BrowserEx == true ? "launcher-detected" : "launcher-missing");
}})();
window.onpageshow = function () {{ report("login-shown"); }};
</script>
</body></html>
"""


# The game page fills the game window, whatever its size: the first screen of
# a browser game (server list and the enter button, announcements, a chat box
# whose input takes Enter, which the game window passes to the page). ES5 and
# plain DOM calls: the game window is the system's browser engine too.
GAME_PAGE = """<!DOCTYPE html>
<html lang="zh-CN"><head><meta charset="utf-8">
<meta http-equiv="X-UA-Compatible" content="IE=edge">
<title>幻世传说 - 游戏</title>
<style>
html, body { margin: 0; padding: 0; width: 100%; height: 100%; overflow: hidden; }
body { position: relative; min-width: 760px; min-height: 480px; color: #e8e2d0;
       font: 12px/1.6 "Microsoft YaHei", "SimSun", "WenQuanYi Micro Hei", sans-serif;
       background: #0c0e22;
       background: radial-gradient(ellipse at 30% 35%, #3a2a6e 0%, #1a1c46 38%, #0c0e22 75%); }
a { color: #f0d58c; text-decoration: none; }
a:hover { color: #fff4d4; }
#sky { position: absolute; left: 0; top: 0; width: 100%; height: 100%; overflow: hidden; }
.star { position: absolute; width: 2px; height: 2px; background: #dce4ff; border-radius: 1px; }
.star.big { width: 3px; height: 3px; border-radius: 2px; box-shadow: 0 0 4px #b8c8ff; }
#moon { position: absolute; left: 16%; top: 20%; width: 110px; height: 110px; border-radius: 55px;
        background: #fff0d0; background: radial-gradient(circle at 40% 35%, #fffaf0 0%, #f6dcaa 60%, #e8c48a 100%);
        box-shadow: 0 0 60px 20px rgba(255, 214, 150, 0.35); }
#land { position: absolute; left: 0; bottom: 0; width: 100%; height: 46%; }
.panel { position: absolute; background: rgba(10, 12, 32, 0.82); border: 1px solid #8a6a38;
         box-shadow: 0 0 0 1px #1a1008, 0 6px 24px rgba(0, 0, 0, 0.6); border-radius: 4px; }
.panel h2 { margin: 0; padding: 0 12px; height: 30px; line-height: 30px; font-size: 14px; font-weight: bold;
            color: #f0d696; letter-spacing: 2px; border-bottom: 1px solid #5a4424;
            background: #1c1a3e; background: linear-gradient(#2a2c62, #14143a); border-radius: 4px 4px 0 0; }
.panel h2 small { float: right; font-weight: normal; letter-spacing: 0; color: #9aa0c8; }
#logo { position: absolute; left: 50%; top: 4%; width: 420px; margin-left: -210px; text-align: center; }
#logo .name { font: bold 56px/1.1 Georgia, "DejaVu Serif", serif; color: #f6d88c; letter-spacing: 2px;
              text-shadow: 0 2px 0 #5a3410, 0 0 18px rgba(255, 170, 60, 0.6); }
#logo .sub { font-size: 20px; letter-spacing: 12px; color: #fff0c8; text-shadow: 0 1px 2px #000; }
#servers { left: 50%; top: 28%; width: 440px; margin-left: -220px; }
#servers ul { list-style: none; margin: 8px 10px 0; padding: 0; }
#servers li { position: relative; height: 30px; line-height: 30px; margin-bottom: 4px; padding: 0 10px;
              cursor: pointer; border: 1px solid #2c2c5a; border-radius: 3px; background: rgba(40, 44, 96, 0.55); }
#servers li:hover { border-color: #8a6a38; }
#servers li.on { border-color: #deb260; background: rgba(150, 100, 40, 0.45); color: #fff4d4; }
#servers li .state { position: absolute; right: 10px; top: 0; }
.hot { color: #ff7a5a; } .busy { color: #f0c060; } .ok { color: #7fd17f; } .down { color: #8a8aa0; }
.tag { display: inline-block; margin-left: 6px; padding: 0 4px; line-height: 16px; font-size: 11px;
       color: #1a1008; background: #deb260; border-radius: 2px; }
#enter-row { padding: 10px 10px 12px; text-align: center; }
#enter { margin: 0 auto; width: 200px; height: 44px; line-height: 44px; font-size: 20px; font-weight: bold;
         letter-spacing: 6px; color: #fff8e0; cursor: pointer; border: 1px solid #ffecb2; border-radius: 22px;
         background: #a8322d; background: linear-gradient(#d85a3a, #8a2018);
         box-shadow: 0 0 0 2px #805624, 0 0 16px rgba(255, 140, 60, 0.5); text-shadow: 0 1px 2px #400; }
#enter:hover { background: linear-gradient(#f07a4a, #a42a1e); }
#enter.busy { cursor: default; opacity: 0.6; }
#progress { display: none; margin: 10px 10px 0; height: 12px; border: 1px solid #805624; border-radius: 6px;
            background: #10102a; overflow: hidden; }
#progress div { width: 0; height: 100%; background: #deb260; background: linear-gradient(#ffecb2, #b8823a); }
#enter-status { height: 20px; margin-top: 6px; color: #c8c0a8; }
#notice { right: 16px; top: 16px; width: 300px; }
#notice ul { list-style: none; margin: 0; padding: 6px 12px 10px; }
#notice li { padding: 3px 0; border-bottom: 1px dashed #3a3460; white-space: nowrap; overflow: hidden;
             text-overflow: ellipsis; }
#notice li span { float: right; color: #8a8aa8; margin-left: 8px; }
#notice .new { color: #ff7a5a; margin-right: 4px; }
#notice p { margin: 8px 12px 10px; color: #c8c0e0; }
#chat { left: 16px; bottom: 28px; width: 380px; height: 230px; }
#chat-log { height: 158px; margin: 0; padding: 4px 10px; overflow-y: auto; list-style: none; }
#chat-log li { margin: 1px 0; word-wrap: break-word; }
#chat-log .ch { color: #f0c060; margin-right: 4px; }
#chat-log .sys .ch, #chat-log .sys { color: #ff9a6a; }
#chat-log .who { color: #8cc8ff; margin-right: 4px; }
#chat-form { margin: 0; padding: 6px 8px; border-top: 1px solid #3a3460; }
#chat-channel { width: 56px; height: 24px; color: #1a1008; }
#chat-input { width: 226px; height: 20px; padding: 1px 4px; border: 1px solid #805624; background: #0a0c1e;
              color: #fff; font: inherit; }
#chat-send { width: 56px; height: 24px; color: #1a1008; border: 1px solid #ffecb2; background: #deb260;
             border-radius: 3px; cursor: pointer; font: inherit; }
#foot { position: absolute; left: 0; right: 0; bottom: 4px; text-align: center; color: #8a88a8; font-size: 11px; }
/* a small window: the announcements give way, the server list moves right */
@media (max-width: 1150px), (max-height: 700px) {
  #notice { display: none; }
  #logo { top: 2%; } #logo .name { font-size: 44px; } #logo .sub { font-size: 16px; }
  #servers { left: auto; right: 16px; margin-left: 0; width: 400px; top: 22%; }
  #servers li { height: 26px; line-height: 26px; }
  #moon { left: 8%; top: 18%; width: 80px; height: 80px; }
  #chat { width: 320px; height: 180px; } #chat-log { height: 108px; } #chat-input { width: 166px; }
}
</style></head>
<body>
<div id="sky"><div id="moon"></div>
<svg id="land" viewBox="0 0 1000 460" preserveAspectRatio="none" xmlns="http://www.w3.org/2000/svg">
  <path fill="#2a2050" d="M0 200 L80 150 L170 185 L260 120 L360 175 L460 130 L560 180 L660 110 L760 165 L860 125 L1000 170 L1000 460 L0 460 Z"/>
  <path fill="#1c1640" d="M0 260 L120 215 L220 250 L330 205 L430 245 L540 210 L650 255 L770 215 L880 245 L1000 220 L1000 460 L0 460 Z"/>
  <path fill="#120e2a" d="M100 300 L100 190 L112 160 L124 190 L124 300 Z M140 300 L140 150 L156 105 L172 150 L172 300 Z
    M188 300 L188 200 L198 178 L208 200 L208 300 Z M220 300 L220 170 L234 135 L248 170 L248 300 Z
    M96 300 L96 230 L256 230 L256 300 Z"/>
  <path fill="#ffc86e" d="M108 200 h5 v9 h-5 Z M152 170 h6 v10 h-6 Z M152 205 h6 v10 h-6 Z M230 185 h5 v9 h-5 Z
    M196 212 h4 v8 h-4 Z M120 245 h5 v8 h-5 Z M170 250 h5 v8 h-5 Z M236 245 h5 v8 h-5 Z"/>
  <path fill="#0c0a1e" d="M0 330 L150 290 L300 320 L450 285 L620 325 L800 290 L1000 320 L1000 460 L0 460 Z"/>
</svg></div>

<div id="logo"><div class="name">Morvane</div><div class="sub">幻世传说</div></div>

<div id="servers" class="panel">
  <h2>选择服务器 <small>上次登录：双线 3 区</small></h2>
  <ul id="server-list">
    <li data-name="双线 1 区 · 青龙">双线 1 区 · 青龙<span class="state hot">火爆</span></li>
    <li data-name="双线 2 区 · 白虎">双线 2 区 · 白虎<span class="state busy">繁忙</span></li>
    <li data-name="双线 3 区 · 朱雀" class="on">双线 3 区 · 朱雀<span class="tag">推荐</span><span class="state ok">流畅</span></li>
    <li data-name="双线 4 区 · 玄武">双线 4 区 · 玄武<span class="tag">新服</span><span class="state ok">流畅</span></li>
    <li data-name="双线 5 区 · 麒麟" data-down="1">双线 5 区 · 麒麟<span class="state down">维护中</span></li>
  </ul>
  <div id="progress"><div id="progress-bar"></div></div>
  <div id="enter-row"><div id="enter">进入游戏</div><div id="enter-status">已选择：双线 3 区 · 朱雀</div></div>
</div>

<div id="notice" class="panel">
  <h2>游戏公告 <small><a href="__BASE__/forum-2115-1.html">更多</a></small></h2>
  <ul>
    <li><b class="new">新</b>双线 4 区「玄武」今日 10:00 火爆开启<span>06-01</span></li>
    <li><b class="new">新</b>端午活动：龙舟竞渡，赢取坐骑<span>05-30</span></li>
    <li>5 区「麒麟」停机维护公告<span>05-28</span></li>
    <li>新版本「星海秘境」更新说明<span>05-25</span></li>
    <li>关于打击外挂的严正声明<span>05-20</span></li>
  </ul>
  <p>老板键可在窗口上方「老板键」中设置，按下即隐藏游戏窗口。</p>
</div>

<div id="chat" class="panel">
  <h2>聊天频道</h2>
  <ul id="chat-log">
    <li class="sys"><span class="ch">[系统]</span>欢迎来到幻世传说，祝少侠游戏愉快！</li>
    <li><span class="ch">[世界]</span><span class="who">剑影流光:</span>3 区有没有一起刷秘境的？</li>
    <li><span class="ch">[世界]</span><span class="who">月下独酌:</span>新服开了，冲冲冲</li>
    <li><span class="ch">[门派]</span><span class="who">掌门·云中鹤:</span>今晚八点门派战，准时集合</li>
  </ul>
  <form id="chat-form">
    <select id="chat-channel"><option>世界</option><option>门派</option><option>队伍</option></select>
    <input id="chat-input" type="text" maxlength="60" autocomplete="off" placeholder="按回车发送">
    <button id="chat-send" type="submit">发送</button>
  </form>
</div>

<div id="foot">抵制不良游戏，拒绝盗版游戏。注意自我保护，谨防受骗上当。适度游戏益脑，沉迷游戏伤身。合理安排时间，享受健康生活。
  <a href="__BASE__/games/tlvx/duz/">返回登录</a></div>

<script>
var selected = "双线 3 区 · 朱雀";

function byId(id) {
  return document.getElementById(id);
}

function setText(el, text) {
  while (el.firstChild) {
    el.removeChild(el.firstChild);
  }
  el.appendChild(document.createTextNode(text));
}

function addChat(channel, who, text, cls) {
  var log = byId("chat-log");
  var li = document.createElement("li");
  var ch = document.createElement("span");
  if (cls) {
    li.className = cls;
  }
  ch.className = "ch";
  setText(ch, "[" + channel + "]");
  li.appendChild(ch);
  if (who) {
    var w = document.createElement("span");
    w.className = "who";
    setText(w, who + ":");
    li.appendChild(w);
  }
  li.appendChild(document.createTextNode(text));
  log.appendChild(li);
  while (log.childNodes.length > 60) {
    log.removeChild(log.firstChild);
  }
  log.scrollTop = log.scrollHeight;
}

function sendChat() {
  var input = byId("chat-input");
  var select = byId("chat-channel");
  var text = input.value.replace(/^\s+|\s+$/g, "");
  if (text) {
    addChat(select.options[select.selectedIndex].text, "少侠", text);
  }
  input.value = "";
  input.focus();
  return false;
}

function pickServer(li) {
  var items = byId("server-list").getElementsByTagName("li");
  var i;
  if (byId("enter").className === "busy") {
    return;
  }
  if (li.getAttribute("data-down")) {
    setText(byId("enter-status"), li.getAttribute("data-name") + " 正在维护，请选择其他服务器");
    return;
  }
  for (i = 0; i < items.length; i++) {
    items[i].className = items[i] === li ? "on" : "";
  }
  selected = li.getAttribute("data-name");
  setText(byId("enter-status"), "已选择：" + selected);
}

function enterGame() {
  var button = byId("enter");
  var bar = byId("progress-bar");
  var done = 0;
  var timer;
  if (button.className === "busy") {
    return false;
  }
  button.className = "busy";
  byId("progress").style.display = "block";
  setText(byId("enter-status"), "正在连接 " + selected + " …");
  timer = window.setInterval(function () {
    done += 4;
    bar.style.width = done + "%";
    if (done >= 100) {
      window.clearInterval(timer);
      setText(byId("enter-status"), "已进入 " + selected + "（演示环境）");
      addChat("系统", "", "少侠已进入 " + selected + "。", "sys");
      button.className = "";
      byId("progress").style.display = "none";
      bar.style.width = "0";
    }
  }, 60);
  return false;
}

function makeStars() {
  var sky = byId("sky");
  var seed = 606;
  var i, star;
  function next() {
    // the same sky at every load; products stay exact in a double
    seed = (seed * 16807) % 2147483647;
    return seed / 2147483647;
  }
  for (i = 0; i < 140; i++) {
    star = document.createElement("div");
    star.className = next() < 0.12 ? "star big" : "star";
    star.style.left = (next() * 100).toFixed(2) + "%";
    star.style.top = (next() * 60).toFixed(2) + "%";
    star.style.opacity = (0.35 + next() * 0.65).toFixed(2);
    sky.insertBefore(star, sky.firstChild);
  }
}

(function () {
  var items = byId("server-list").getElementsByTagName("li");
  var i;
  for (i = 0; i < items.length; i++) {
    items[i].onclick = function () {
      pickServer(this);
    };
  }
  byId("enter").onclick = enterGame;
  byId("chat-form").onsubmit = sendChat;
  makeStars();
})();
</script>
</body></html>
"""


def game_page(base):
    return GAME_PAGE.replace("__BASE__", html.escape(base)).encode("utf-8")


def login_page(base):
    links = {
        "entry": base + ENTRY_PATH,
        "game_page": base + GAME_PAGE_PATH,
        "forgot": base + FORGOT_PASSWORD_PATH,
        "partner_a": base + PARTNER_A_GUEST_PATH,
        "partner_b": base + PARTNER_LOGOUT_PATH,
        "partner_c": base + PARTNER_LOGOUT_PATH,
        "service": base + "/kf/",
        "forum": base + "/forum-2115-1.html",
    }
    return LOGIN_PAGE.format(**{k: html.escape(v) for k, v in links.items()}).encode("utf-8")


class Portal:
    def __init__(self, update_id, installer):
        self.update_id = update_id
        self.installer = installer

    def answer(self, path, query, host):
        """(status, content type, body bytes) for one GET."""
        base = "http://" + host
        if path == "/version.txt":
            text = "[update]\r\nid=%s\r\n" % self.update_id
            return 200, "text/plain", text.encode("ascii")
        if path == "/install.exe":
            if not self.installer or not os.path.isfile(self.installer):
                return 404, "text/plain", b"no installer\n"
            with open(self.installer, "rb") as f:
                return 200, "application/octet-stream", f.read()
        if path == "/games/tlvx/duz/":
            return 200, "text/html; charset=utf-8", login_page(base)
        # The game entry and the game page (also the official site) show the
        # game's first screen.
        if (path == "/games/duz/togame.php" and query.get("target") == ["tlvx"]) or path == GAME_PAGE_PATH:
            return 200, "text/html; charset=utf-8", game_page(base)
        if path == "/kf/":
            return 200, "text/html; charset=utf-8", page("客服中心", "<p>客服热线：每日 9:00–22:00。</p>")
        if path == "/forum-2115-1.html":
            return 200, "text/html; charset=utf-8", page("玩家论坛", "<ul><li>新手指南</li><li>版本公告</li></ul>")
        if path == "/" and query.get("g") == ["606"]:
            return 200, "text/html; charset=utf-8", page("充值中心", "<p>演示环境不收取任何费用。</p>")
        back = "<p><a href='%s/games/tlvx/duz/'>返回登录</a></p>" % html.escape(base)
        if path == "/guest/c/" and query.get("gid") == ["dova"]:
            return 200, "text/html; charset=utf-8", page("平台 A 游客试玩", "<p>已作为游客进入平台 A。</p>" + back)
        if path == PARTNER_LOGOUT_PATH:
            return 200, "text/html; charset=utf-8", page("已退出", "<p>你已退出合作平台账号。</p>" + back)
        if path == FORGOT_PASSWORD_PATH:
            return 200, "text/html; charset=utf-8", page("找回密码", (
                "<form onsubmit='alert(\"演示环境不发送邮件。\"); return false;'>"
                "<label>账号<br><input name='user' type='text'></label><br>"
                "<label>绑定邮箱<br><input name='mail' type='email'></label><br>"
                "<button class='button' type='submit'>发送重置邮件</button></form>"))
        return 404, "text/html; charset=utf-8", page("404", "<p>页面不存在。</p>")


def make_handler(portal, log):
    lock = threading.Lock()

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"
        server_version = "MorvaneDemo/1"

        def do_GET(self):
            url = urllib.parse.urlsplit(self.path)
            query = urllib.parse.parse_qs(url.query, keep_blank_values=True)
            host = (self.headers.get("Host") or "127.0.0.1").strip()
            status, kind, body = portal.answer(url.path, query, host)
            self.send_response(status)
            self.send_header("Content-Type", kind)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            if log:
                stamp = datetime.datetime.now().isoformat(timespec="milliseconds")
                with lock, open(log, "a", encoding="utf-8") as f:
                    f.write("%s %s GET %s %d %d\n" % (stamp, self.client_address[0], self.path, status, len(body)))

        def log_message(self, *args):
            pass

    return Handler


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--host", default="127.0.0.1")
    ap.add_argument("--port", type=int, default=80)
    ap.add_argument("--update-id", default="5", help="[update] id of /version.txt (default 5)")
    ap.add_argument("--installer", help="the file served as /install.exe")
    ap.add_argument("--log", help="append one line per request to this file")
    args = ap.parse_args()
    portal = Portal(args.update_id, args.installer)
    server = http.server.ThreadingHTTPServer((args.host, args.port), make_handler(portal, args.log))
    server.daemon_threads = True
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
