"""Starts vx6207-sim on a free TCP port, asks it for its identity over a plain socket, checks the
transcript, and always ends the simulator it started."""

import re
import socket
import subprocess
import sys
import time


def read_line(sock, deadline):
    data = b""
    while not data.endswith(b"\r\n"):
        sock.settimeout(max(0.05, deadline - time.monotonic()))
        chunk = sock.recv(4096)
        if not chunk:
            break
        data += chunk
    return data.decode("latin-1").rstrip("\r\n")


def main():
    simulator, transcript = sys.argv[1], sys.argv[2]
    process = subprocess.Popen(
        [simulator, "--tcp", "0", "--model", "VX6208", "--transcript", transcript],
        stdout=subprocess.PIPE,
        text=True,
    )
    try:
        first = process.stdout.readline().strip()
        match = re.fullmatch(r"listening on 127\.0\.0\.1:(\d+)", first)
        if not match:
            print("unexpected first line: %r" % first)
            return 1
        deadline = time.monotonic() + 10
        with socket.create_connection(("127.0.0.1", int(match.group(1))), timeout=10) as sock:
            sock.sendall(b"\r\n*idn?\r\n")
            reply = read_line(sock, deadline)
        if reply != "ZORVI,VX6208,123456,1.00":
            print("unexpected identity: %r" % reply)
            return 1
        process.terminate()
        if process.wait(timeout=10) != 0:
            print("the simulator did not stop cleanly")
            return 1
        with open(transcript, encoding="latin-1") as file:
            lines = file.read().splitlines()
        if lines != ["", "*idn?"]:
            print("unexpected transcript: %r" % lines)
            return 1
        print("ok")
        return 0
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()


if __name__ == "__main__":
    sys.exit(main())
