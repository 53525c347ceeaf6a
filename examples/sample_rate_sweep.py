#!/usr/bin/env python3
"""Sweep the sample rate over the configuration's list and print SNR and ENOB per rate.

Start the server first, for example:
    kv2680 serve --config-dir examples --data-dir /tmp
then:
    python3 examples/sample_rate_sweep.py [--resource TCPIP::127.0.0.1::5025::SOCKET]
"""
import argparse

import numpy as np
import pyvisa

NOT_A_NUMBER = 9.91e37   # what the instrument answers for a figure it cannot give


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--resource", default="TCPIP::127.0.0.1::5025::SOCKET")
    parser.add_argument("--config", default="KV2680.cfg", help="configuration in the server's --config-dir")
    parser.add_argument("--blocks", type=int, default=4, help="blocks per rate; their figures are averaged")
    args = parser.parse_args()

    rm = pyvisa.ResourceManager("@py")
    inst = rm.open_resource(args.resource, read_termination="\n", write_termination="\n")
    inst.timeout = 30000
    print(inst.query("*IDN?"))
    inst.write("*CLS")
    inst.write(f'CONF:FILE "{args.config}"')
    inst.query("*OPC?")
    error = inst.query("SYST:ERR?")
    if not error.startswith("0,"):
        raise SystemExit(f"configuration load failed: {error}")

    rates = inst.query_ascii_values("SAMP:RATE:LIST?", converter="d")
    print(f"{'rate Hz':>10} {'SNR dB':>8} {'ENOB':>6}")
    for rate in rates:
        inst.write(f"SAMP:RATE {int(rate)}")
        figures = np.array([inst.query_ascii_values("READ:METR?") for _ in range(args.blocks)])
        snr, enob = figures[:, 0], figures[:, 4]
        valid = (snr < NOT_A_NUMBER / 2) & (enob < NOT_A_NUMBER / 2)
        if not valid.any():
            print(f"{inst.query('SAMP:RATE?'):>10} {'-':>8} {'-':>6}")
            continue
        print(f"{inst.query('SAMP:RATE?'):>10} {snr[valid].mean():8.2f} {enob[valid].mean():6.2f}")
    while not (error := inst.query("SYST:ERR?")).startswith("0,"):
        print("instrument error:", error)
    inst.close()


if __name__ == "__main__":
    main()
