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


class Portal:
    def __init__(self, update_id, installer):
        self.update_id = update_id
        self.installer = installer

    def answer(self, path, query, host):
        """(status, content type, body bytes) for one GET."""
        base = "http://" + host
        entry = base + "/games/duz/togame.php?target=tlvx"
        if path == "/version.txt":
            text = "[update]\r\nid=%s\r\n" % self.update_id
            return 200, "text/plain", text.encode("ascii")
        if path == "/install.exe":
            if not self.installer or not os.path.isfile(self.installer):
                return 404, "text/plain", b"no installer\n"
            with open(self.installer, "rb") as f:
                return 200, "application/octet-stream", f.read()
        if path == "/games/tlvx/duz/":
            return 200, "text/html; charset=utf-8", page("Morvane 登录", (
                "<form onsubmit='location.href=\"%s\"; return false;'>"
                "<label>账号<br><input name='user' value='demo'></label><br>"
                "<label>密码<br><input name='pass' type='password' value='demo'></label><br>"
                "<a class='button' href='%s'>进入游戏</a></form>"
                "<p><a href='%s/games/tlvx/'>官方网站</a> · <a href='%s/kf/'>客服中心</a> · "
                "<a href='%s/forum-2115-1.html'>玩家论坛</a></p>") % (entry, entry, base, base, base))
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
