#!/usr/bin/env python3
"""kv2680 serve driven through PyVISA: serve_client_test.py KV2680 EXAMPLES [TEST ...]"""
import json
import os
import socket
import subprocess
import sys
import tempfile
import time
import unittest

try:
    import pyvisa
except ImportError:
    print("PyVISA is not installed (python3-pyvisa, python3-pyvisa-py): skipped")
    sys.exit(77)

KV2680 = sys.argv[1]
EXAMPLES = sys.argv[2]
SEED = 1234


class Server:
    """A kv2680 serve on a free loopback port, stopped on exit."""

    def __init__(self, data_dir, *extra):
        self.process = subprocess.Popen(
            [KV2680, "serve", "--listen", "127.0.0.1:0", "--instant", "--seed", str(SEED),
             "--config-dir", EXAMPLES, "--data-dir", data_dir, *extra],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        if "listening on" not in line:
            self.process.kill()
            raise RuntimeError("server did not start: " + line + self.process.stderr.read())
        self.port = int(line.rsplit(":", 1)[1])
        self.resource = f"TCPIP::127.0.0.1::{self.port}::SOCKET"

    def stop(self):
        """Asks the server to stop as systemd does (SIGTERM); returns its exit status."""
        self.process.terminate()
        return self.process.wait(timeout=10)


class ServeClientTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.server = Server(self.tmp.name)
        self.rm = pyvisa.ResourceManager("@py")
        self.clients = []

    def tearDown(self):
        for c in self.clients:
            try:
                c.close()
            except Exception:
                pass
        self.rm.close()
        self.assertIsNone(self.server.process.poll(), "the server ended on its own")
        self.assertEqual(self.server.stop(), 0, "the server did not stop cleanly on SIGTERM")
        self.tmp.cleanup()

    def open(self):
        inst = self.rm.open_resource(self.server.resource, read_termination="\n", write_termination="\n")
        inst.timeout = 20000
        self.clients.append(inst)
        return inst

    def errors(self, inst):
        found = []
        while True:
            code, text = inst.query("SYST:ERR?").split(",", 1)
            if int(code) == 0:
                self.assertEqual(text, '"No error"')
                return found
            found.append((int(code), text))

    def load(self, inst):
        inst.write('CONF:FILE "KV2680.cfg"')
        self.assertEqual(inst.query("*OPC?"), "1")
        self.assertEqual(self.errors(inst), [])

    def test_idn(self):
        inst = self.open()
        fields = inst.query("*IDN?").split(",")
        self.assertEqual(len(fields), 4)
        self.assertEqual(fields[0], "KV2680")
        self.assertEqual(inst.query("syst:vers?"), "1999.0")
        self.assertEqual(inst.query("*TST?"), "0")

    def test_configuration(self):
        inst = self.open()
        self.load(inst)
        self.assertEqual(inst.query("CONF:FILE?"), '"KV2680.cfg"')
        self.assertEqual(inst.query("SAMP:COUN?;RATE?"), "1024;100000")
        # Rates follow the setup dialog's rules: above the maximum, the maximum; a rate off
        # the list joins it in order.
        inst.write("SAMP:RATE 3000000")
        self.assertEqual(inst.query("SAMP:RATE?"), "1000000")
        inst.write("SAMP:RATE 123456")
        rates = [int(r) for r in inst.query("SAMP:RATE:LIST?").split(",")]
        self.assertEqual(rates, sorted(rates))
        self.assertEqual(rates[:3], [50000, 100000, 123456])
        # The analysis settings reach the board's analyzer: a Hann window cannot hold a
        # 12-bit part's leakage below its noise, so the SNR is given as not a number.
        inst.write("CALC:WIND HANN;HARM 7;AVER:COUN 4")
        self.assertEqual(inst.query("CALC:WIND?;HARM?;AVER:COUN?"), "HANN;7;4")
        self.assertEqual(float(inst.query("READ:METR?").split(",")[0]), 9.91e37)
        inst.write("CALC:WIND BH4;AVER:COUN 1")
        self.assertLess(float(inst.query("READ:METR?").split(",")[0]), 100)
        inst.write('CONF:FILE "../examples/KV2680.cfg"')
        inst.write('CONF:FILE "missing.cfg"')
        self.assertEqual([code for code, _ in self.errors(inst)], [-257, -256])

    def test_block_matches_acquire(self):
        out = os.path.join(self.tmp.name, "acquire")
        acquire = subprocess.run(
            [KV2680, "acquire", "-c", os.path.join(EXAMPLES, "KV2680.cfg"), "--instant", "--seed", str(SEED),
             "--json", "-o", out, "--save", "both"], capture_output=True, text=True, check=True)
        expected_json = json.loads(acquire.stdout.splitlines()[0])
        with open(os.path.join(out, "block0001.dat")) as f:
            expected_codes = [float(v) for v in f.read().split()]
        with open(os.path.join(out, "block0001.csv")) as f:
            expected_volts = [float(row.split(",")[2]) for row in f.read().splitlines()[1:]]

        inst = self.open()
        self.load(inst)
        self.assertEqual(inst.query("INIT;*OPC?"), "1")
        inst.write("FORM INT,16")
        codes = inst.query_binary_values("FETC:WAV?", datatype="h", is_big_endian=True)
        self.assertEqual(codes, expected_codes)
        inst.write("FORM REAL,64;FORM:BORD SWAP")
        self.assertEqual(inst.query_binary_values("FETC:WAV?", datatype="d", is_big_endian=False), expected_codes)
        volts = inst.query_binary_values("FETC:VOLT?", datatype="d", is_big_endian=False)
        self.assertEqual(len(volts), len(expected_volts))
        for got, want in zip(volts, expected_volts):
            self.assertAlmostEqual(got, want, places=5)

        served = json.loads(inst.query("FETC:METR:JSON?"))
        for key in ("time",):
            served.pop(key)
            expected_json.pop(key)
        self.assertEqual(served, expected_json)
        figures = [float(v) for v in inst.query("FORM ASC;:FETC:METR?").split(",")]
        self.assertEqual(len(figures), 7)
        self.assertAlmostEqual(figures[0], expected_json["metrics"]["snr_db"]["value"], places=6)
        inst.write('MMEM:STOR:DATA "stored.dat"')
        self.assertEqual(self.errors(inst), [])
        with open(os.path.join(self.tmp.name, "stored.dat")) as f, open(os.path.join(out, "block0001.dat")) as g:
            self.assertEqual(f.read(), g.read())

    def test_errors(self):
        inst = self.open()
        count = inst.query("SAMP:COUN?")
        inst.write("FOO:BAR")
        inst.write("SAMP:COUN 1000")
        inst.write("SAMP:COUN")
        inst.write("*CLS 1")
        inst.write("FORM INT,8")
        inst.write("FETC:WAV?")
        inst.write_raw(b"*IDN?\x00\xff\xfe\n")
        inst.write_raw(b"SAMP:COUN " + b"9" * (70 * 1024) + b"\n")
        inst.write('MMEM:STOR:DATA "../x.dat"')
        self.assertEqual(inst.query("SYST:ERR:COUN?"), "9")
        self.assertEqual([code for code, _ in self.errors(inst)],
                         [-113, -222, -109, -108, -224, -230, -102, -363, -257])
        self.assertEqual(inst.query("SAMP:COUN?"), count)

    def test_unread_answer(self):
        # Answers never read fill the socket; the next message gives them up with -410.
        raw = socket.create_connection(("127.0.0.1", self.server.port))
        reader = raw.makefile("rb")

        def query(text):
            raw.sendall(text.encode() + b"\n")
            return reader.readline().decode().strip()

        self.assertEqual(query('CONF:FILE "KV2680.cfg";*OPC?'), "1")
        self.assertEqual(query("SAMP:COUN 8192;:INIT;*OPC?"), "1")
        raw.sendall(b"FETC:WAV?\n" * 400)
        time.sleep(2)   # the server takes them all while nobody reads
        raw.settimeout(1.0)
        try:
            while raw.recv(1 << 20):
                pass
        except socket.timeout:
            pass
        # What a slow server still sends for the burst comes before the marker's answer.
        raw.settimeout(60)
        raw.sendall(b"*IDN?\n")
        while not reader.readline().startswith(b"KV2680,"):
            pass
        codes = []
        while True:
            code = int(query("SYST:ERR?").split(",")[0])
            if code == 0:
                break
            codes.append(code)
        self.assertIn(-410, codes)
        self.assertLessEqual(set(codes), {-410, -350})
        reader.close()
        raw.close()

    def test_disconnect_during_continuous_run(self):
        inst = self.open()
        self.load(inst)
        # The start completes with the run's first block: a fetch right after it has data.
        self.assertEqual(inst.query("INIT:CONT ON;*OPC?"), "1")
        self.assertEqual(len(inst.query("FETC:METR?").split(",")), 7)
        self.assertEqual(inst.query("INIT:CONT?"), "1")
        time.sleep(0.3)
        first = json.loads(inst.query("FETC:METR:JSON?"))["block"]
        time.sleep(0.2)
        self.assertGreater(json.loads(inst.query("FETC:METR:JSON?"))["block"], first)
        inst.close()
        self.clients.remove(inst)

        deadline = time.time() + 10
        while True:
            try:
                again = self.open()
                self.assertEqual(again.query("INIT:CONT?"), "0")
                break
            except (pyvisa.errors.VisaIOError, AssertionError):
                if time.time() > deadline:
                    raise
                self.clients.pop().close()
                time.sleep(0.1)
        self.assertEqual(self.errors(again), [])
        again.write("FORM REAL,64")
        self.assertEqual(len(again.query_binary_values("READ:WAV?", datatype="d", is_big_endian=True)), 1024)
        self.assertEqual(again.query("*OPC?"), "1")

    def test_stop_request_during_continuous_run(self):
        inst = self.open()
        self.load(inst)
        self.assertEqual(inst.query("INIT:CONT ON;*OPC?"), "1")
        started = time.time()
        self.assertEqual(self.server.stop(), 0)
        self.assertLess(time.time() - started, 2)
        self.server = Server(self.tmp.name)   # for tearDown

    def test_second_client(self):
        first = self.open()
        second = self.open()
        self.assertIn("in use by another client", second.read())
        second.close()
        self.clients.remove(second)
        self.assertTrue(first.query("*IDN?").startswith("KV2680,"))
        first.close()
        self.clients.remove(first)
        time.sleep(0.2)
        self.assertTrue(self.open().query("*IDN?").startswith("KV2680,"))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[3:]], verbosity=2)
