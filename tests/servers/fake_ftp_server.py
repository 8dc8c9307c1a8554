#!/usr/bin/python3
"""A scripted FTP server for tests: plays the dialogue a test gives and records every line
it receives, so a test can assert both sides exactly.

Usage: fake_ftp_server.py SCRIPT.json RECORD.txt
Prints "PORT <n>" on stdout once it listens on 127.0.0.1.

Script: {"connections": [SESSION, ...]} (the last session repeats for later connections) or
one SESSION. A SESSION is {"on_connect": [ACTION...], "rules": [RULE...], "default": [ACTION...]}.
A RULE is {"match": REGEX, "actions": [ACTION...], "times": N (optional)}; the first rule whose
regex matches the whole received line (and has times left) runs; none matching runs "default"
(by default: send "502 Command not implemented.").
ACTION (one key each):
  {"send": TEXT}                 TEXT + CRLF
  {"send": TEXT, "split": N}     the same, N bytes per send
  {"raw": TEXT}                  TEXT as latin-1 bytes, nothing added
  {"repeat": N, "send": TEXT}    N times TEXT + CRLF (fast, in large writes)
  {"close": true}                close the control connection
  {"stall": SECONDS}             wait before the next action
  {"pasv": FORMAT}               listen for a data connection; FORMAT's {} gets h1,h2,h3,h4,p1,p2
  {"pasv": FORMAT, "host": H}    the same, announcing the address H ("10,0,0,5") instead
  {"epsv": FORMAT}               the same for EPSV: FORMAT's {} gets the port alone
  {"port": true}                 take the address of a PORT command for the data connection
  {"data": TEXT}                 send TEXT (latin-1) over the data connection and close it
  {"data_file": PATH}            the same with a file's bytes
  {"data_partial": TEXT}         send TEXT over the data connection and keep it open (stall)
  {"data_recv": PATH}            receive over the data connection into PATH until it closes
  {"data_recv_keep": PATH}       the same, but keep the data connection open afterwards
  {"data_endless": TEXT}         send TEXT over the data connection again and again until the
                                 client closes it (then go on with the next action)
  {"data_wait_close": true}      take the data connection and wait until the client closes it;
                                 records "#data closed"
  {"wait_file": PATH}            wait until PATH exists (a test's go-ahead), at most 60 seconds
  {"tls": [CERT, KEY]}           take the TLS handshake on the control connection with that
                                 certificate and key files; records "#tls"
  {"protect": true}              later data connections take TLS too (after "tls"); they end
                                 without the closing alert
  {"protect": [CERT, KEY]}       the same with another certificate (a session of its own)
  {"data_reset": TEXT}           send TEXT over the data connection, then reset it
  {"data_recv_reset": N}         take the data connection, read nothing for a second (the client's
                                 buffers fill), then N bytes, then reset it
  {"data_split": TEXT}           send TEXT over a TLS data connection (after "tls") in records of
                                 16 KiB, each in two halves 50 ms apart
Record: one line per received line, "<connection number>\\t<line>".
"""
import json
import os
import re
import socket
import ssl
import struct
import sys
import threading
import time

from serverlib import exit_with_parent


class Session:
    def __init__(self, conn, number, script, record):
        self.conn = conn
        self.number = number
        self.script = script
        self.record = record
        self.rules = [dict(rule) for rule in script.get("rules", [])]
        self.data_listener = None
        self.data_target = None
        self.data_conn = None
        self.tls_context = None
        self.data_context = None
        self.protect = False

    def send(self, data):
        self.conn.sendall(data)

    def send_split(self, text):
        conn = self.open_data(plain=True)
        incoming, outgoing = ssl.MemoryBIO(), ssl.MemoryBIO()
        tls = self.tls_context.wrap_bio(incoming, outgoing, server_side=True)
        while True:
            try:
                tls.do_handshake()
                break
            except ssl.SSLWantReadError:
                conn.sendall(outgoing.read())
                block = conn.recv(65536)
                if not block:
                    raise OSError("closed during the handshake")
                incoming.write(block)
        conn.sendall(outgoing.read())
        payload = text.encode("latin-1")
        for i in range(0, len(payload), 16384):
            tls.write(payload[i:i + 16384])
            record = outgoing.read()
            conn.sendall(record[:len(record) // 2])
            time.sleep(0.05)
            conn.sendall(record[len(record) // 2:])
        conn.close()

    def open_data(self, plain=False):
        if self.data_listener is not None:
            self.data_listener.settimeout(10)
            conn, _ = self.data_listener.accept()
            self.data_listener.close()
            self.data_listener = None
        elif self.data_target is not None:
            conn = socket.create_connection(self.data_target, timeout=10)
        else:
            raise RuntimeError("no data connection set up")
        if self.protect and not plain:
            conn = (self.data_context or self.tls_context).wrap_socket(conn, server_side=True)
        return conn

    def run_action(self, action, line):
        if "repeat" in action:
            chunk = (action["send"] + "\r\n").encode("latin-1")
            count = action["repeat"]
            batch = max(1, 65536 // len(chunk))
            while count > 0:
                n = min(batch, count)
                self.send(chunk * n)
                count -= n
        elif "send" in action:
            data = (action["send"] + "\r\n").encode("latin-1")
            split = action.get("split")
            if split:
                for i in range(0, len(data), split):
                    self.send(data[i:i + split])
                    time.sleep(0.002)
            else:
                self.send(data)
        elif "raw" in action:
            self.send(action["raw"].encode("latin-1"))
        elif "close" in action:
            return False
        elif "stall" in action:
            time.sleep(action["stall"])
        elif "pasv" in action:
            listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            listener.bind(("127.0.0.1", 0))
            listener.listen(1)
            self.data_listener = listener
            port = listener.getsockname()[1]
            numbers = "%s,%d,%d" % (action.get("host", "127,0,0,1"), port // 256, port % 256)
            self.send((action["pasv"].replace("{}", numbers) + "\r\n").encode("latin-1"))
        elif "epsv" in action:
            listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            listener.bind(("127.0.0.1", 0))
            listener.listen(1)
            self.data_listener = listener
            port = str(listener.getsockname()[1])
            self.send((action["epsv"].replace("{}", port) + "\r\n").encode("latin-1"))
        elif "port" in action:
            parts = [int(x) for x in line.split(" ", 1)[1].split(",")]
            self.data_target = (".".join(str(p) for p in parts[:4]), parts[4] * 256 + parts[5])
        elif "data" in action or "data_file" in action:
            if "data" in action:
                payload = action["data"].encode("latin-1")
            else:
                with open(action["data_file"], "rb") as f:
                    payload = f.read()
            with self.open_data() as data:
                data.sendall(payload)
        elif "data_partial" in action:
            self.data_conn = self.open_data()
            self.data_conn.sendall(action["data_partial"].encode("latin-1"))
        elif "data_endless" in action:
            block = action["data_endless"].encode("latin-1") * max(1, 65536 // len(action["data_endless"]))
            try:
                with self.open_data() as data:
                    while True:
                        data.sendall(block)
            except OSError:
                pass
        elif "data_wait_close" in action:
            with self.open_data() as data:
                data.settimeout(None)
                try:
                    while data.recv(65536):
                        pass
                except OSError:
                    pass
            self.record(self.number, "#data closed")
        elif "wait_file" in action:
            deadline = time.monotonic() + 60
            while not os.path.exists(action["wait_file"]) and time.monotonic() < deadline:
                time.sleep(0.01)
        elif "tls" in action:
            self.tls_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            self.tls_context.load_cert_chain(*action["tls"])
            self.conn = self.tls_context.wrap_socket(self.conn, server_side=True)
            self.record(self.number, "#tls")
        elif "protect" in action:
            self.protect = True
            if isinstance(action["protect"], list):
                self.data_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
                self.data_context.load_cert_chain(*action["protect"])
        elif "data_recv_reset" in action:
            data = self.open_data()
            time.sleep(1)
            left = action["data_recv_reset"]
            while left > 0:
                block = data.recv(min(left, 65536))
                if not block:
                    break
                left -= len(block)
            data.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            data.close()
        elif "data_split" in action:
            self.send_split(action["data_split"])
        elif "data_reset" in action:
            data = self.open_data()
            data.sendall(action["data_reset"].encode("latin-1"))
            data.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            data.close()
        elif "data_recv" in action or "data_recv_keep" in action:
            data = self.open_data()
            with open(action.get("data_recv") or action["data_recv_keep"], "wb") as out:
                while True:
                    block = data.recv(65536)
                    if not block:
                        break
                    out.write(block)
            if "data_recv_keep" in action:
                self.data_conn = data  # never closed from this side
            else:
                data.close()
        return True

    def run_actions(self, actions, line=""):
        for action in actions:
            if not self.run_action(action, line):
                return False
        return True

    def respond(self, line):
        for rule in self.rules:
            if rule.get("times", 1) == 0:
                continue
            if re.fullmatch(rule["match"], line):
                if "times" in rule:
                    rule["times"] -= 1
                return self.run_actions(rule.get("actions", []), line)
        default = self.script.get("default", [{"send": "502 Command not implemented."}])
        return self.run_actions(default, line)

    def run(self):
        try:
            if not self.run_actions(self.script.get("on_connect", [])):
                return
            buffer = b""
            while True:
                block = self.conn.recv(4096)
                if not block:
                    return
                buffer += block
                while b"\n" in buffer:
                    raw, buffer = buffer.split(b"\n", 1)
                    line = raw.rstrip(b"\r").decode("latin-1")
                    self.record(self.number, line)
                    if not self.respond(line):
                        return
        except OSError:
            pass
        finally:
            self.conn.close()


def main():
    exit_with_parent()
    with open(sys.argv[1], encoding="utf-8") as f:
        script = json.load(f)
    sessions = script.get("connections") or [script]
    record_file = open(sys.argv[2], "a", encoding="latin-1")
    lock = threading.Lock()

    def record(number, line):
        with lock:
            record_file.write("%d\t%s\n" % (number, line))
            record_file.flush()

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    print("PORT %d" % listener.getsockname()[1], flush=True)
    number = 0
    while True:
        conn, _ = listener.accept()
        conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        script = sessions[min(number, len(sessions) - 1)]
        record(number, "#connect")
        threading.Thread(target=Session(conn, number, script, record).run, daemon=True).start()
        number += 1


if __name__ == "__main__":
    main()
