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
  <button id="btn-alert" type="button" onclick="alert('欢迎回来，少侠！')">弹出提示</button>
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
function callLauncher(name, call) {{
  try {{
    call();
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
}})();
</script>
</body></html>
"""


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
        if path == "/games/duz/togame.php" and query.get("target") == ["tlvx"]:
            return 200, "text/html; charset=utf-8", page("Morvane", (
                "<p>欢迎来到 Morvane 的世界。</p>"
                "<div style='height:320px;border:1px solid #6b5a33;display:flex;align-items:center;"
                "justify-content:center;background:#132231'>游戏画面</div>"))
        if path == "/games/tlvx/":
            return 200, "text/html; charset=utf-8", page("Morvane 官方网站", (
                "<p>新服火热开启，诚邀各位少侠。</p><a class='button' href='%s/games/tlvx/duz/'>立即登录</a>") % base)
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
