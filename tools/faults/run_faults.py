#!/usr/bin/env python3
"""Applies each fault of a list, one at a time, to a source tree; rebuilds its build directory
(normal incremental build), runs the suite with ctest, records whether the suite caught the fault, and
restores the file. The tree is restored whatever happens: on an error, on Ctrl-C or SIGTERM at once,
and after a SIGKILL by the next run (a note of the fault in flight is kept in the build directory).

    tools/faults/run_faults.py SOURCE_TREE BUILD_DIR [--faults FILE] [--only F01,F30-F37] [--jobs N]
                               [--results FILE] [--test-timeout SECONDS] [--first-failure] [--check]
                               [--tests CTEST_REGEX]

The build directory must be configured for the tree already (cmake -S TREE -B BUILD). --check only
verifies that every fault applies (its text occurs exactly once) and changes nothing. --first-failure
stops ctest at the first failing test (the verdict is the same, the list of failed tests partial, and a
caught fault costs less). Results: one
tab-separated line per fault (id, caught|MISSED|build-failed|not-applicable, seconds, failed tests),
written to --results (default BUILD_DIR/fault-results.tsv) as they come and summed up at the end.
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def parse_faults(path):
    faults, block = [], {}
    for raw in open(path, encoding="utf-8").read().split("\n") + [""]:
        if raw.startswith("#"):
            continue
        if not raw.strip():
            if block:
                faults.append(block)
                block = {}
            continue
        key, sep, value = raw.partition(": ")
        if not sep or key not in ("id", "file", "find", "replace", "what"):
            raise SystemExit(f"{path}: cannot read line: {raw!r}")
        block[key] = value.replace("\\n", "\n") if key in ("find", "replace") else value
    for fault in faults:
        missing = {"id", "file", "find", "replace", "what"} - fault.keys()
        if missing:
            raise SystemExit(f"{path}: fault {fault.get('id', '?')} lacks {', '.join(sorted(missing))}")
    return faults


class Restorer:
    """Keeps the original of the one file under a fault and puts it back."""

    def __init__(self, build):
        self.state = os.path.join(build, ".fault-in-flight")
        self.backup = os.path.join(build, ".fault-backup")

    def recover(self):
        if os.path.exists(self.state):
            target = open(self.state, encoding="utf-8").read().strip()
            if os.path.exists(self.backup):
                print(f"restoring {target} left faulty by an interrupted run", flush=True)
                self._put_back(target)
            os.remove(self.state)

    def keep(self, target):
        shutil.copyfile(target, self.backup)
        with open(self.state, "w", encoding="utf-8") as out:
            out.write(target)

    def _put_back(self, target):
        # A plain copy gives the file a new time stamp, so the next build compiles it again.
        shutil.copyfile(self.backup, target)
        os.remove(self.backup)

    def restore(self):
        if os.path.exists(self.state):
            target = open(self.state, encoding="utf-8").read().strip()
            if os.path.exists(self.backup):
                self._put_back(target)
            os.remove(self.state)


def run(command, log, timeout):
    with open(log, "w", encoding="utf-8") as out:
        try:
            return subprocess.run(command, stdout=out, stderr=subprocess.STDOUT, timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            out.write(f"\n*** timed out after {timeout} s\n")
            return -1


def failed_tests(log):
    names, after = [], False
    for line in open(log, encoding="utf-8", errors="replace"):
        if line.startswith("The following tests FAILED"):
            after = True
        elif after and " - " in line:
            names.append(line.split(" - ", 1)[1].split(" (")[0].strip())
    return names


def wanted_ids(only, ids):
    """The ids named by --only: single ids and ranges such as F30-F37 (every id numbered from the first to
    the last, whatever its place in the list)."""
    wanted = set()
    for part in only.split(","):
        first, _, last = part.strip().partition("-")
        if not last:
            wanted.add(first)
            continue
        if not (re.fullmatch(r"F\d+", first) and re.fullmatch(r"F\d+", last)):
            raise SystemExit(f"--only: {part} is not a range such as F30-F37")
        low, high = int(first[1:]), int(last[1:])
        wanted.update(i for i in ids if re.fullmatch(r"F\d+", i) and low <= int(i[1:]) <= high)
    unknown = wanted - set(ids)
    if unknown:
        raise SystemExit("--only: not in the list: " + " ".join(sorted(unknown)))
    return wanted


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("tree")
    parser.add_argument("build")
    parser.add_argument("--faults", default=os.path.join(HERE, "faults.txt"))
    parser.add_argument("--only", default="")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--results", default="")
    parser.add_argument("--test-timeout", type=int, default=600)
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--first-failure", action="store_true")
    parser.add_argument("--tests", default="", help="run only the tests matching this ctest regular expression")
    args = parser.parse_args()

    tree, build = os.path.abspath(args.tree), os.path.abspath(args.build)
    if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        raise SystemExit(f"{build} is not a configured build directory")
    faults = parse_faults(args.faults)
    if args.only:
        wanted = wanted_ids(args.only, [f["id"] for f in faults])
        faults = [f for f in faults if f["id"] in wanted]

    restorer = Restorer(build)
    restorer.recover()

    def applicable(fault):
        path = os.path.join(tree, fault["file"])
        return os.path.exists(path) and open(path, encoding="utf-8").read().count(fault["find"]) == 1

    if args.check:
        bad = [f["id"] for f in faults if not applicable(f)]
        print("all faults apply" if not bad else "not applicable: " + " ".join(bad))
        return 1 if bad else 0

    # SIGTERM and SIGHUP end the run like Ctrl-C: through the finally below.
    def stop(signum, _frame):
        raise KeyboardInterrupt(f"signal {signum}")

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGHUP, stop)

    results_path = args.results or os.path.join(build, "fault-results.tsv")
    logs = os.path.join(build, "fault-logs")
    os.makedirs(logs, exist_ok=True)
    env_note = f"tree {tree}, build {build}, {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}"
    with open(results_path, "w", encoding="utf-8") as out:
        out.write(f"# {env_note}\n# id\tverdict\tseconds\tfailed tests\n")
    build_cmd = ["cmake", "--build", build, "-j", str(args.jobs)]
    test_cmd = ["ctest", "--test-dir", build, "-j", str(args.jobs), "--timeout", str(args.test_timeout)]
    if args.first_failure:
        test_cmd.append("--stop-on-failure")
    if args.tests:
        test_cmd += ["-R", args.tests]
    tally = {}
    try:
        for fault in faults:
            start = time.monotonic()
            target = os.path.join(tree, fault["file"])
            failed = []
            if not applicable(fault):
                verdict = "not-applicable"
            else:
                restorer.keep(target)
                text = open(target, encoding="utf-8").read()
                with open(target, "w", encoding="utf-8") as out:
                    out.write(text.replace(fault["find"], fault["replace"], 1))
                print(f"{fault['id']}: {fault['what']}", flush=True)
                if run(build_cmd, os.path.join(logs, fault["id"] + ".build.log"), 3600) != 0:
                    verdict = "build-failed"
                else:
                    log = os.path.join(logs, fault["id"] + ".ctest.log")
                    code = run(test_cmd, log, 4 * 3600)
                    failed = failed_tests(log)
                    verdict = "caught" if code != 0 else "MISSED"
                restorer.restore()
            seconds = round(time.monotonic() - start)
            tally[verdict] = tally.get(verdict, 0) + 1
            line = f"{fault['id']}\t{verdict}\t{seconds}\t{' '.join(failed)}"
            print("   " + line, flush=True)
            with open(results_path, "a", encoding="utf-8") as out:
                out.write(line + "\n")
    finally:
        restorer.restore()
    # The build is left matching the restored tree.
    run(build_cmd, os.path.join(logs, "restore.build.log"), 3600)
    caught = tally.get("caught", 0)
    judged = caught + tally.get("MISSED", 0)
    summary = f"score: {caught} of {judged} faults caught; " + ", ".join(f"{k} {v}" for k, v in sorted(tally.items()))
    print(summary)
    with open(results_path, "a", encoding="utf-8") as out:
        out.write(f"# {summary}\n")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt as stop:
        print(f"interrupted ({stop}); the tree is restored", file=sys.stderr)
        sys.exit(130)
