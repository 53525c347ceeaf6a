#!/usr/bin/env python3
"""Sums a gcovr JSON summary per folder of src/ and prints it as a table; compares two sums.

  coverage_table.py folders GCOVR_SUMMARY.json [OUT.json]
  coverage_table.py compare BEFORE.json AFTER.json
"""
import json
import sys

KEYS = ("line_covered", "line_total", "branch_covered", "branch_total")


def folder_of(filename):
    parts = filename.split("/")
    depth = 3 if parts[1] == "display" and len(parts) > 3 else 2
    return "/".join(parts[:depth])


def sum_folders(gcovr_summary):
    folders = {}
    for entry in gcovr_summary["files"]:
        sums = folders.setdefault(folder_of(entry["filename"]), dict.fromkeys(KEYS, 0))
        for key in KEYS:
            sums[key] += entry[key]
    folders["total"] = {key: sum(f[key] for f in folders.values()) for key in KEYS}
    return folders


def percent(covered, total):
    return 100.0 * covered / total if total else 100.0


def figures(sums):
    return (percent(sums["line_covered"], sums["line_total"]),
            percent(sums["branch_covered"], sums["branch_total"]))


def print_folders(folders):
    print(f"{'folder':<22}{'lines':>16}{'line %':>8}{'branches':>16}{'branch %':>10}")
    for name, s in folders.items():
        line, branch = figures(s)
        print(f"{name:<22}{s['line_covered']:>7} / {s['line_total']:<6}{line:>8.1f}"
              f"{s['branch_covered']:>7} / {s['branch_total']:<6}{branch:>10.1f}")


def compare(before, after):
    print(f"{'folder':<22}{'line % before':>14}{'after':>8}{'change':>8}"
          f"{'branch % before':>17}{'after':>8}{'change':>8}")
    worse = False
    for name in sorted(set(before) | set(after), key=lambda n: (n == "total", n)):
        empty = dict.fromkeys(KEYS, 0)
        lb, bb = figures(before.get(name, empty))
        la, ba = figures(after.get(name, empty))
        drop = "  lower" if min(la - lb, ba - bb) < -0.5 else ""
        worse = worse or bool(drop)
        print(f"{name:<22}{lb:>14.1f}{la:>8.1f}{la - lb:>+8.1f}{bb:>17.1f}{ba:>8.1f}{ba - bb:>+8.1f}{drop}")
    return 1 if worse else 0


def main(argv):
    if len(argv) >= 3 and argv[1] == "folders":
        with open(argv[2]) as f:
            folders = sum_folders(json.load(f))
        print_folders(dict(sorted(folders.items(), key=lambda kv: (kv[0] == "total", kv[0]))))
        if len(argv) > 3:
            with open(argv[3], "w") as f:
                json.dump(folders, f, indent=1, sort_keys=True)
        return 0
    if len(argv) == 4 and argv[1] == "compare":
        with open(argv[2]) as f, open(argv[3]) as g:
            return compare(json.load(f), json.load(g))
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
