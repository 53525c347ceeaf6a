#!/usr/bin/python3
"""Soak of `kv2680 serve` on loopback: a client connects, loads the configuration, starts a
continuous run, polls the metrics, leaves an answer unread and drops the connection, again
and again for the given minutes. Prints the cycles, refusals and the server's resident
memory after the first minute and at the end.

    scripts/soak_serve.py build/src/cli/kv2680 examples 10
"""
import os, random, socket, subprocess, sys, tempfile, time

import pyvisa


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    tool, config_dir, minutes = sys.argv[1], sys.argv[2], float(sys.argv[3])
    port = free_port()
    data = tempfile.mkdtemp()
    server = subprocess.Popen([tool, "serve", "--listen", f"127.0.0.1:{port}", "--config-dir", config_dir,
                               "--data-dir", data], stdout=subprocess.PIPE, text=True)
    server.stdout.readline()   # "listening on ..."
    rm = pyvisa.ResourceManager("@py")
    start = time.monotonic()
    cycles = refused = 0
    first_minute_rss = None
    try:
        while time.monotonic() - start < minutes * 60:
            inst = rm.open_resource(f"TCPIP::127.0.0.1::{port}::SOCKET", read_termination="\n",
                                    write_termination="\n", timeout=20000)
            try:
                if not inst.query("*IDN?").startswith("KV2680"):
                    refused += 1
                    continue
                inst.write('CONF:FILE "KV2680.cfg"')
                inst.query("*OPC?")
                inst.write("INIT:CONT ON")
                for _ in range(random.randint(2, 8)):
                    inst.query("FETC:METR?")
                    time.sleep(0.2)
                inst.write("FETC:WAV?")   # never read: the connection drops under it
            finally:
                inst.close()
            cycles += 1
            if first_minute_rss is None and time.monotonic() - start > 60:
                first_minute_rss = rss_kib(server.pid)
        end_rss = rss_kib(server.pid)
        alive = server.poll() is None
    finally:
        server.terminate()
        server.wait()
    print(f"cycles {cycles}, refused {refused}, server alive {alive}, "
          f"RSS after the first minute {first_minute_rss} KiB, at the end {end_rss} KiB")
    return 0 if refused == 0 and alive else 1


if __name__ == "__main__":
    sys.exit(main())
