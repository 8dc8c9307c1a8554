#!/usr/bin/python3
"""vsftpd with TLS for tests: anonymous access to ROOT (uploads into ROOT/upload), TLS
required with session reuse on data connections. Prints "PORT <n>" once it listens on
127.0.0.1. Runs without root too (as the launching user).

Usage: vsftpd_server.py ROOT CERT KEY [implicit] [rate=BYTES_PER_SECOND]
"""
import ctypes
import os
import pwd
import signal
import socket
import subprocess
import sys
import tempfile
import time

from serverlib import exit_with_parent


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def config(root, cert, key, port, options, work):
    lines = {
        "listen": "YES", "listen_address": "127.0.0.1", "listen_port": str(port),
        "background": "NO", "anonymous_enable": "YES", "no_anon_password": "YES",
        "anon_root": root, "write_enable": "YES", "anon_upload_enable": "YES",
        "anon_other_write_enable": "YES", "anon_umask": "022", "local_enable": "NO",
        "pasv_enable": "YES", "pasv_address": "127.0.0.1", "port_enable": "YES",
        "connect_from_port_20": "NO", "seccomp_sandbox": "NO", "xferlog_enable": "NO",
        "secure_chroot_dir": os.path.join(work, "empty"),
        "ssl_enable": "YES", "allow_anon_ssl": "YES", "force_anon_logins_ssl": "YES",
        "force_anon_data_ssl": "YES", "require_ssl_reuse": "YES",
        "rsa_cert_file": cert, "rsa_private_key_file": key,
    }
    if "implicit" in options:
        lines["implicit_ssl"] = "YES"
    for option in options:
        if option.startswith("rate="):
            lines["anon_max_rate"] = option[5:]
    if os.getuid() != 0:
        lines["run_as_launching_user"] = "YES"
    return "".join("%s=%s\n" % item for item in lines.items())


def main():
    exit_with_parent()
    root, cert, key = sys.argv[1:4]
    work = tempfile.mkdtemp(prefix="ferrowin-vsftpd-")
    os.mkdir(os.path.join(work, "empty"), 0o755)
    upload = os.path.join(root, "upload")
    os.makedirs(upload, exist_ok=True)
    if os.getuid() == 0:
        ftp = pwd.getpwnam("ftp")
        os.chown(upload, ftp.pw_uid, ftp.pw_gid)
        os.chmod(root, 0o555)  # vsftpd refuses an anonymous root it could write to
    port = free_port()
    path = os.path.join(work, "vsftpd.conf")
    with open(path, "w") as f:
        f.write(config(root, cert, key, port, sys.argv[4:], work))
    libc = ctypes.CDLL(None)
    server = subprocess.Popen(["/usr/sbin/vsftpd", path],
                              preexec_fn=lambda: libc.prctl(1, signal.SIGKILL))  # PR_SET_PDEATHSIG
    signal.signal(signal.SIGTERM, lambda *_: (server.kill(), os._exit(0)))
    for _ in range(200):
        if server.poll() is not None:
            sys.exit("vsftpd ended at start")
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            break
        except OSError:
            time.sleep(0.05)
    print("PORT %d" % port, flush=True)
    server.wait()


if __name__ == "__main__":
    main()
