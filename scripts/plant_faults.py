#!/usr/bin/env python3
"""Plants known faults in the product code, one at a time, and counts how many
the test suite catches.

Each fault of faults.txt names one or more alternatives (search text,
replacement). The search text is looked for in every product source, wherever
the file now lives; the first alternative found exactly once is planted. A
fault no alternative finds exactly once is "not applicable" until retargeted.

For each fault: plant, incremental build, ctest stopping at the first failure,
then the file's original bytes are put back, whatever happened.

  scripts/plant_faults.py --build build              # all faults
  scripts/plant_faults.py --build build --only F-10pc,F-case
  scripts/plant_faults.py --list                     # where each fault lands
  scripts/plant_faults.py --build build --faults ~/other-faults.txt   # another list
  scripts/plant_faults.py --build build --tsan-build build-tsan   # races too

With --tsan-build (a folder configured with -DQUIBEX_TSAN=ON), a fault the
suite misses is tried once more on the tests labelled "thread", built with
ThreadSanitizer: a race shows nowhere else.
"""
import argparse
import os
import pathlib
import re
import signal
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
PRODUCT = ["app", "browser", "form", "join", "ordering", "selection", "toolkit", "widgets", "main.cpp"]
FAULTS = pathlib.Path(__file__).resolve().parent.parent / "tests" / "faults" / "faults.txt"
THREAD_TESTS = "quibex_thread_tests"


def sources():
    files = []
    for entry in PRODUCT:
        path = ROOT / entry
        if path.is_file():
            files.append(path)
        elif path.is_dir():
            files += sorted(p for p in path.rglob("*") if p.suffix in (".cpp", ".h") and p.is_file())
    return files


def parse(path):
    """Header lines "ID description"; below each, "  - search" / "  + replacement" pairs."""
    faults = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        if not line[0].isspace():
            ident, _, description = line.partition(" ")
            faults.append({"id": ident, "description": description.strip(), "alternatives": []})
            continue
        match = re.match(r"\s+([-+])(?: (.*))?$", line)
        if not match or not faults:
            sys.exit(f"{path.name}:{number}: cannot read this line")
        text = (match.group(2) or "").rstrip()
        alternatives = faults[-1]["alternatives"]
        if match.group(1) == "-":
            alternatives.append([text, None])
        elif alternatives and alternatives[-1][1] is None:
            alternatives[-1][1] = text
        else:
            sys.exit(f"{path.name}:{number}: a replacement without its search text")
    for fault in faults:
        if not fault["alternatives"] or any(r is None for _, r in fault["alternatives"]):
            sys.exit(f"{fault['id']}: each search text needs its replacement")
    return faults


def locate(fault, contents):
    """(file, search, replacement) of the first alternative found exactly once, or a reason."""
    reasons = []
    for search, replacement in fault["alternatives"]:
        needle = search.encode()
        hits = [path for path, data in contents.items() for _ in range(data.count(needle))]
        if len(hits) == 1:
            return hits[0], search, replacement
        reasons.append("missing" if not hits else f"{len(hits)} matches")
    return None, "/".join(reasons), None


def run(command, cwd, env=None, timeout=None):
    result = subprocess.run(command, cwd=cwd, env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True, errors="replace", timeout=timeout)
    return result.returncode, result.stdout


def product_clean():
    return run(["git", "diff", "--quiet", "--"] + PRODUCT, ROOT)[0] == 0


def build(build_dir, target=None):
    return run(["cmake", "--build", str(build_dir), "-j2"] + (["--target", target] if target else []),
               ROOT)


def test(build_dir, label=None):
    # A planted fault that corrupts memory aborts the test; Qt Test's stack
    # dump would then fork from a process whose allocator is locked, and hang
    # until the test's timeout instead of failing at once.
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QTEST_DISABLE_STACK_DUMP="1")
    if label:
        env["TSAN_OPTIONS"] = f"halt_on_error=1 die_after_fork=0 ignore_noninstrumented_modules=1 suppressions={ROOT / '.ci' / 'tsan.supp'}"
    code, out = run(["ctest", "--stop-on-failure", "-j1", "--timeout", "120", "--output-on-failure"]
                    + (["-L", label] if label else []),
                    build_dir, env=env, timeout=3600)
    failed = re.search(r"Test\s+#\d+: (\S+) \.*\s*\*+\s*(\w+)", out)
    first = re.search(r"^FAIL!\s+: (\S+?\(.*?\))", out, re.M)
    where = ""
    if failed:
        where = failed.group(1) + ("" if failed.group(2) == "Failed" else f" ({failed.group(2)})")
        if first:
            where += " " + first.group(1)
    return code == 0, where


def plant(fault, build_dir, tsan_dir=None):
    contents = {path: path.read_bytes() for path in sources()}
    path, search, replacement = locate(fault, contents)
    if path is None:
        return "not applicable", search
    original = contents[path]
    try:
        path.write_bytes(original.replace(search.encode(), replacement.encode(), 1))
        code, out = build(build_dir)
        if code != 0:
            error = re.search(r"error: (.*)", out)
            return "does not compile", error.group(1)[:60] if error else ""
        passed, where = test(build_dir)
        if passed and tsan_dir:
            code, out = build(tsan_dir, THREAD_TESTS)
            if code != 0:
                return "does not compile", "(ThreadSanitizer build)"
            passed, where = test(tsan_dir, "thread")
            where = "ThreadSanitizer: " + where
        return ("missed", path.relative_to(ROOT).as_posix()) if passed else ("caught", where)
    finally:
        path.write_bytes(original)
        if not product_clean():
            sys.exit(f"{fault['id']}: {path} not restored; stop")


def main():
    # A run stopped with kill still puts the planted file back (finally runs).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=str(ROOT / "build"), help="build folder (configured already)")
    parser.add_argument("--only", help="comma-separated fault ids")
    parser.add_argument("--list", action="store_true", help="show where each fault lands, plant nothing")
    parser.add_argument("--faults", default=str(FAULTS),
                        help="the list of faults to plant (default: tests/faults/faults.txt)")
    parser.add_argument("--tsan-build", help="a ThreadSanitizer build folder (configured already)")
    args = parser.parse_args()
    faults = parse(pathlib.Path(args.faults).resolve())
    if args.only:
        wanted = args.only.split(",")
        unknown = set(wanted) - {f["id"] for f in faults}
        if unknown:
            sys.exit("unknown fault ids: " + ", ".join(sorted(unknown)))
        faults = [f for f in faults if f["id"] in wanted]
    if args.list:
        contents = {path: path.read_bytes() for path in sources()}
        for fault in faults:
            path, search, _ = locate(fault, contents)
            line = contents[path][:contents[path].find(search.encode())].count(b"\n") + 1 if path else 0
            where = f"{path.relative_to(ROOT).as_posix()}:{line}" if path else f"NOT APPLICABLE ({search})"
            print(f"{fault['id']:<18} {where:<40} {fault['description']}")
        return
    build_dir = pathlib.Path(args.build).resolve()
    if not product_clean():
        sys.exit("product code has uncommitted changes: commit or stash them first")
    if build(build_dir)[0] != 0 or not test(build_dir)[0]:
        sys.exit("the unchanged code does not build or pass its tests")
    tsan_dir = pathlib.Path(args.tsan_build).resolve() if args.tsan_build else None
    if tsan_dir and (build(tsan_dir, THREAD_TESTS)[0] != 0 or not test(tsan_dir, "thread")[0]):
        sys.exit("the unchanged code does not build or pass its tests with ThreadSanitizer")

    rows = []
    for fault in faults:
        started = time.monotonic()
        result, detail = plant(fault, build_dir, tsan_dir)
        rows.append((fault, result, detail))
        print(f"{fault['id']:<18} {result:<16} {detail}  [{time.monotonic() - started:.0f} s]",
              file=sys.stderr, flush=True)
    build(build_dir)  # leaves the build matching the restored code
    if tsan_dir:
        build(tsan_dir, THREAD_TESTS)

    print(f"{'fault':<18} {'result':<16} {'caught by / file':<60} behaviour broken")
    for fault, result, detail in rows:
        print(f"{fault['id']:<18} {result:<16} {detail:<60} {fault['description']}")
    count = {kind: sum(1 for _, r, _ in rows if r == kind)
             for kind in ("caught", "missed", "not applicable", "does not compile")}
    total = count["caught"] + count["missed"]
    print(f"\ncaught {count['caught']} of {total} ({count['not applicable']} not applicable, "
          f"{count['does not compile']} do not compile)")


if __name__ == "__main__":
    main()
