#!/usr/bin/env python3
"""How strong is the test suite? Makes one-line mutants of src/, rebuilds only
what changed, runs the test programs the change reaches and counts the mutants
they kill.

    python3 scripts/mutants.py --seed 7 --count 150

The committed tree (HEAD) is checked out into a scratch folder (--workdir) and
built there, so the working copy is never touched. A mutant is one edit of one
line of a .cpp file below src/:

    cmp     a comparison turned into its opposite (a < b  ->  a >= b)
    logic   && and || swapped
    const   an integer constant moved by one
    negate  the condition of an if or while negated
    drop    a call statement removed
    bool    true and false swapped

The candidates are shuffled with the seed and taken in turn from each source
folder, so the sample is spread over all of them; mutants that do not compile
are counted apart and replaced until --count of them compiled. A mutant is
killed when a test program it reaches fails or runs past its time limit, and
survives when every one of them passes (or none is reached).

A file counts as logic when its folder is one of core, config, flow, link,
history, archive, graph (at any depth below src/) and neither it nor its header
includes a Qt Widgets class; window code lives in ui/ folders or *_ui targets.

After a change of the tests alone, --replay with the --json file of an earlier
run tests again the mutants that run killed: does the suite still kill them?

This is a tool for developers; CI does not run it. Expect about half a minute
to a minute per mutant on two cores.
"""

import argparse
import json
import os
import random
import re
import shutil
import subprocess
import sys
import time
from concurrent.futures import ThreadPoolExecutor
from dataclasses import dataclass, asdict
from pathlib import Path

LOGIC_FOLDERS = {"core", "config", "flow", "link", "history", "archive", "graph"}
WIDGET_INCLUDE = re.compile(
    r"#include\s*<Q(Abstract\w+|Action|Application|BoxLayout|CheckBox|ComboBox|Dialog\w*|FileDialog|Frame|"
    r"GridLayout|GroupBox|HBoxLayout|HeaderView|Label|LineEdit|MainWindow|Menu|MenuBar|MessageBox|"
    r"PlainTextEdit|ProgressBar|PushButton|RadioButton|ScrollArea|SplashScreen|StatusBar|TabWidget|"
    r"TableView|TextEdit|ToolButton|ToolTip|VBoxLayout|Widget|Wizard\w*)>"
)
COMPARISONS = {"<": ">=", "<=": ">", ">": "<=", ">=": "<", "==": "!=", "!=": "=="}
CMP = re.compile(r"(?<= )(<=|>=|==|!=|<|>)(?= )")
LOGIC = re.compile(r"(?<= )(&&|\|\|)(?= )")
INTEGER = re.compile(r"(?<![\w.])(0[xX][0-9a-fA-F]+|\d+)(?![\w.])")
BOOLEAN = re.compile(r"\b(true|false)\b")
CONDITION = re.compile(r"\b(if|while)\s*\(")
CALL_STATEMENT = re.compile(r"^(\s*)[A-Za-z_][\w:]*(\s*(\.|->)\s*[A-Za-z_]\w*)*\s*\(.*\)\s*;\s*$")
NOT_CALLS = {"return", "delete", "throw", "case", "goto", "Q_UNUSED", "Q_ASSERT", "static_assert", "Q_EMIT",
             "emit", "sizeof", "if", "while", "for", "switch"}


@dataclass
class Mutant:
    path: str       # relative to the repository
    line: int       # 1-based
    operator: str
    old: str
    new: str
    outcome: str = ""  # killed, survived, no-compile
    detail: str = ""   # the test that killed it, or why it survived
    seconds: float = 0.0


def code_mask(line, in_block_comment):
    """Which characters of the line are code (not comment, not a literal)."""
    mask = [False] * len(line)
    i = 0
    while i < len(line):
        if in_block_comment:
            end = line.find("*/", i)
            if end < 0:
                return mask, True
            i = end + 2
            in_block_comment = False
            continue
        if line.startswith("//", i):
            break
        if line.startswith("/*", i):
            in_block_comment = True
            i += 2
            continue
        if line[i] in "\"'":
            quote = line[i]
            i += 1
            while i < len(line) and line[i] != quote:
                i += 2 if line[i] == "\\" else 1
            i += 1
            continue
        mask[i] = True
        i += 1
    return mask, in_block_comment


def in_code(mask, start, end):
    return all(mask[start:end])


def matching_paren(line, open_index):
    depth = 0
    for i in range(open_index, len(line)):
        if line[i] == "(":
            depth += 1
        elif line[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def line_mutants(path, number, line, mask):
    stripped = line.strip()
    if not stripped or stripped.startswith("#"):
        return
    for m in CMP.finditer(line):
        if in_code(mask, m.start(), m.end()):
            yield Mutant(path, number, "cmp", line, line[:m.start()] + COMPARISONS[m.group(1)] + line[m.end():])
    for m in LOGIC.finditer(line):
        if in_code(mask, m.start(), m.end()):
            other = "||" if m.group(1) == "&&" else "&&"
            yield Mutant(path, number, "logic", line, line[:m.start()] + other + line[m.end():])
    for m in INTEGER.finditer(line):
        if not in_code(mask, m.start(), m.end()):
            continue
        text = m.group(1)
        value = int(text, 16) if text.lower().startswith("0x") else int(text)
        moved = value + 1 if value == 0 or (number + m.start()) % 2 == 0 else value - 1
        new_text = hex(moved) if text.lower().startswith("0x") else str(moved)
        yield Mutant(path, number, "const", line, line[:m.start()] + new_text + line[m.end():])
    for m in BOOLEAN.finditer(line):
        if in_code(mask, m.start(), m.end()):
            other = "false" if m.group(1) == "true" else "true"
            yield Mutant(path, number, "bool", line, line[:m.start()] + other + line[m.end():])
    for m in CONDITION.finditer(line):
        open_index = m.end() - 1
        close = matching_paren(line, open_index)
        if close > open_index + 1 and in_code(mask, m.start(), m.end()):
            inner = line[open_index + 1:close]
            yield Mutant(path, number, "negate", line, line[:open_index + 1] + "!(" + inner + ")" + line[close:])
    call = CALL_STATEMENT.match(line)
    if call and in_code(mask, len(call.group(1)), len(line.rstrip())):
        first_word = re.match(r"[A-Za-z_]\w*", stripped).group(0)
        if first_word not in NOT_CALLS and "=" not in stripped.split("(", 1)[0]:
            yield Mutant(path, number, "drop", line, call.group(1) + ";")


def candidates(tree):
    found = []
    for source in sorted((tree / "src").rglob("*.cpp")):
        if source.name.endswith("_win.cpp"):  # not built here: no test could reach it
            continue
        rel = source.relative_to(tree).as_posix()
        in_block = False
        for number, line in enumerate(source.read_text(encoding="utf-8").split("\n"), start=1):
            mask, next_block = code_mask(line, in_block)
            if not in_block:
                found.extend(line_mutants(rel, number, line, mask))
            in_block = next_block
    return found


def folder_of(rel_path):
    return rel_path.split("/")[1]


def is_logic(tree, rel_path):
    parts = rel_path.split("/")
    if not any(part in LOGIC_FOLDERS for part in parts[1:-1]) or any(p == "ui" or p.endswith("_ui") for p in parts):
        return False
    for candidate in (tree / rel_path, (tree / rel_path).with_suffix(".h")):
        if candidate.exists() and WIDGET_INCLUDE.search(candidate.read_text(encoding="utf-8")):
            return False
    return True


def spread_order(found, seed):
    """The candidates in the seeded order: a folder at a time, round robin."""
    rng = random.Random(seed)
    by_folder = {}
    for mutant in found:
        by_folder.setdefault(folder_of(mutant.path), []).append(mutant)
    folders = sorted(by_folder)
    rng.shuffle(folders)
    for folder in folders:
        rng.shuffle(by_folder[folder])
    order = []
    while any(by_folder.values()):
        for folder in folders:
            if by_folder[folder]:
                order.append(by_folder[folder].pop())
    return order


def run(command, cwd=None, timeout=None, env=None):
    return subprocess.run(command, cwd=cwd, timeout=timeout, env=env, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, errors="replace")


class Rig:
    def __init__(self, repo, workdir, jobs):
        self.repo = repo
        self.workdir = workdir
        self.tree = workdir / "tree"
        self.build = workdir / "build"
        self.jobs = jobs
        self.baseline = {}  # test program -> seconds

    def prepare(self):
        self.workdir.mkdir(parents=True, exist_ok=True)
        if self.tree.exists():
            run(["git", "worktree", "remove", "--force", str(self.tree)], cwd=self.repo)
            shutil.rmtree(self.tree, ignore_errors=True)
        run(["git", "worktree", "prune"], cwd=self.repo)
        result = run(["git", "worktree", "add", "--detach", str(self.tree), "HEAD"], cwd=self.repo)
        if result.returncode:
            sys.exit("Cannot check out HEAD: " + result.stdout)
        # The commit measured: later commits in the working copy are not.
        self.commit = run(["git", "rev-parse", "--short", "HEAD"], cwd=self.tree).stdout.strip()
        configure = ["cmake", "-S", str(self.tree), "-B", str(self.build), "-G", "Ninja",
                     "-DCMAKE_BUILD_TYPE=RelWithDebInfo"]
        if shutil.which("ccache"):
            configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        result = run(configure)
        if result.returncode:
            sys.exit("Configure failed:\n" + result.stdout)
        if not self.compile():
            sys.exit("The unmutated tree does not build.")
        for program in self.test_programs():
            started = time.monotonic()
            result = self.run_test(program, timeout=900)
            self.baseline[program] = time.monotonic() - started
            if result != "pass":
                sys.exit(f"{program.name} fails without any mutant ({result}); fix that first.")
            print(f"baseline {program.name}: {self.baseline[program]:.1f} s", flush=True)

    def close(self):
        run(["git", "worktree", "remove", "--force", str(self.tree)], cwd=self.repo)

    def compile(self):
        try:
            return run(["cmake", "--build", str(self.build), "--parallel", str(self.jobs)], timeout=1800).returncode == 0
        except subprocess.TimeoutExpired:
            return False

    def test_programs(self):
        return sorted(p for p in (self.build / "tests").glob("tst_*") if p.is_file() and os.access(p, os.X_OK))

    def run_test(self, program, timeout):
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QTEST_FUNCTION_TIMEOUT=str(int(timeout * 1000)),
                   ASAN_OPTIONS="detect_leaks=0")
        try:
            result = run([str(program)], cwd=program.parent, timeout=timeout, env=env)
        except subprocess.TimeoutExpired:
            return "timeout"
        return "pass" if result.returncode == 0 else "fail"

    def runs_as_subprocess(self):
        """The executables that test programs start as processes, and those
        test programs: the brevel tool's tests run it, and they and the
        journeys talk to the virtual logger."""
        tests = self.build / "tests"
        return {
            self.build / "brevel": [tests / "tst_cli"],
            self.build / "brevel-logger-sim": [tests / "tst_cli", tests / "tst_journeys"],
        }

    def limit(self, program):
        return max(3 * self.baseline.get(program, 30), self.baseline.get(program, 30) + 20)

    def try_mutant(self, mutant, original):
        """Builds and tests one mutant of the original text; the file is left
        mutated (the caller restores it)."""
        source = self.tree / mutant.path
        lines = original.split("\n")
        lines[mutant.line - 1] = mutant.new
        source.write_text("\n".join(lines), encoding="utf-8")
        watched = self.test_programs() + list(self.runs_as_subprocess())
        before = {p: p.stat().st_mtime_ns for p in watched if p.exists()}
        started = time.monotonic()
        if not self.compile():
            mutant.outcome, mutant.detail = "no-compile", ""
            mutant.seconds = time.monotonic() - started
            return
        changed = {p for p in watched if p.exists() and p.stat().st_mtime_ns != before.get(p)}
        reached = [p for p in self.test_programs() if p in changed]
        # Tests that start a program as a process reach what that program links.
        for executable, programs in self.runs_as_subprocess().items():
            if executable in changed:
                reached += [p for p in programs if p.exists() and p not in reached]
        # The module's own tests first: they kill most mutants soonest.
        own = "tst_" + folder_of(mutant.path)
        reached.sort(key=lambda p: (p.name != own, self.baseline.get(p, 0)))
        mutant.outcome, mutant.detail = "survived", "no test program reached" if not reached else ""
        # The module's own tests alone, then the others side by side: a
        # survivor runs every program it reaches, and that is most of the time.
        for batch in (reached[:1], reached[1:]):
            with ThreadPoolExecutor(max_workers=self.jobs) as pool:
                results = list(pool.map(lambda p: (p, self.run_test(p, self.limit(p))), batch))
            failed = [f"{program.name} ({result})" for program, result in results if result != "pass"]
            if failed:
                mutant.outcome, mutant.detail = "killed", ", ".join(failed)
                break
        mutant.seconds = time.monotonic() - started

    def restore(self, rel_path, original):
        (self.tree / rel_path).write_text(original, encoding="utf-8")

    def try_by_file(self, mutants, tested):
        """Tests the mutants grouped by file, so each file is compiled once per
        mutant and restored once; tested(mutant) follows each."""
        for path in sorted({m.path for m in mutants}):
            original = (self.tree / path).read_text(encoding="utf-8")
            try:
                for mutant in (m for m in mutants if m.path == path):
                    self.try_mutant(mutant, original)
                    tested(mutant)
            finally:
                self.restore(path, original)
        self.compile()

    def finish(self, mutants, heading, json_path):
        if json_path:
            json_path.write_text(json.dumps([asdict(m) for m in mutants], indent=1), encoding="utf-8")
        print()
        print(heading)
        print(summarise(mutants, self.tree))
        self.close()


def report(mutant, prefix=""):
    print(f"{prefix}{mutant.path}:{mutant.line} {mutant.operator}: {mutant.outcome} {mutant.detail} "
          f"({mutant.seconds:.0f} s)", flush=True)


def summarise(mutants, tree):
    def counts(selection):
        killed = sum(m.outcome == "killed" for m in selection)
        survived = sum(m.outcome == "survived" for m in selection)
        tested = killed + survived
        return killed, survived, (100.0 * killed / tested) if tested else 0.0

    compiled = [m for m in mutants if m.outcome in ("killed", "survived")]
    logic = [m for m in compiled if is_logic(tree, m.path)]
    lines = []
    k, s, pct = counts(compiled)
    lines.append(f"compiling mutants: {len(compiled)}  killed {k}  survived {s}  ({pct:.1f} % killed)")
    lines.append(f"did not compile:   {sum(m.outcome == 'no-compile' for m in mutants)}")
    k, s, pct = counts(logic)
    lines.append(f"logic files:       {len(logic)} mutants, killed {k}, survived {s} ({pct:.1f} % killed)")
    k, s, pct = counts([m for m in compiled if m not in logic])
    lines.append(f"other files:       killed {k}, survived {s} ({pct:.1f} % killed)")
    lines.append("")
    lines.append("by folder:")
    for folder in sorted({folder_of(m.path) for m in compiled}):
        k, s, pct = counts([m for m in compiled if folder_of(m.path) == folder])
        lines.append(f"  {folder:10} killed {k:3}  survived {s:3}  ({pct:5.1f} %)")
    lines.append("")
    lines.append("by operator:")
    for operator in sorted({m.operator for m in compiled}):
        k, s, pct = counts([m for m in compiled if m.operator == operator])
        lines.append(f"  {operator:10} killed {k:3}  survived {s:3}  ({pct:5.1f} %)")
    survivors = [m for m in compiled if m.outcome == "survived"]
    if survivors:
        lines.append("")
        lines.append("survivors:")
        for m in sorted(survivors, key=lambda m: (m.path, m.line)):
            logic_mark = " [logic]" if m in logic else ""
            lines.append(f"  {m.path}:{m.line} {m.operator}{logic_mark} {m.detail}".rstrip())
            lines.append(f"    - {m.old.strip()}")
            lines.append(f"    + {m.new.strip()}")
    return "\n".join(lines)


def chosen(path, only):
    return not only or any(text in path for text in only)


def replay(repo, args):
    earlier = [Mutant(**fields) for fields in json.loads(args.replay.read_text(encoding="utf-8"))]
    rig = Rig(repo, args.workdir.resolve(), args.jobs)
    rig.prepare()
    again = []
    lines_of = {}
    for mutant in earlier:
        if mutant.outcome != "killed" or not chosen(mutant.path, args.only):
            continue
        # Lines may have moved since; the mutant goes to the nearest line that
        # reads as the mutated one did, and is left out when none does.
        if mutant.path not in lines_of:
            lines_of[mutant.path] = (rig.tree / mutant.path).read_text(encoding="utf-8").split("\n")
        same = [i + 1 for i, text in enumerate(lines_of[mutant.path]) if text == mutant.old]
        if same:
            mutant.line = min(same, key=lambda line: abs(line - mutant.line))
            again.append(mutant)
        else:
            mutant.outcome, mutant.detail = "line-gone", "the mutated line is no longer in the file"
            print(f"{mutant.path}:{mutant.line}: left out, its line is gone", flush=True)
    try:
        rig.try_by_file(again, report)
    finally:
        rig.finish(earlier, f"replay of {args.replay} ({len(again)} mutants tested again), commit {rig.commit}",
                   args.json)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--seed", type=int, default=1, help="seed of the sample (default 1)")
    parser.add_argument("--count", type=int, default=150, help="compiling mutants to test (default 150)")
    parser.add_argument("--workdir", type=Path, default=Path("/tmp/brevel-mutants"),
                        help="scratch folder for the checkout and its build (default /tmp/brevel-mutants)")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2, help="parallel build jobs and test programs")
    parser.add_argument("--only", action="append", default=[],
                        help="only files whose path contains this text; repeat it for several folders")
    parser.add_argument("--list", action="store_true", help="print the first candidates of the sample and stop")
    parser.add_argument("--json", type=Path, help="also write every mutant and its outcome to this file")
    parser.add_argument("--replay", type=Path,
                        help="a --json file of an earlier run: test again the mutants it killed, after a change of "
                             "the tests alone, and keep its other outcomes")
    args = parser.parse_args()

    repo = Path(run(["git", "rev-parse", "--show-toplevel"]).stdout.strip())
    if args.replay:
        replay(repo, args)
        return
    order = [m for m in spread_order(candidates(repo), args.seed) if chosen(m.path, args.only)]
    print(f"{len(order)} candidate mutants in src/ (seed {args.seed})", flush=True)
    if args.list:
        for m in order[:args.count]:
            print(f"{m.path}:{m.line} {m.operator}\n  - {m.old.strip()}\n  + {m.new.strip()}")
        return

    rig = Rig(repo, args.workdir.resolve(), args.jobs)
    rig.prepare()
    done = []

    def tested(mutant):
        done.append(mutant)
        report(mutant, f"[{len(done)}] ")

    position = 0
    try:
        while position < len(order):
            need = args.count - sum(m.outcome in ("killed", "survived") for m in done)
            if need <= 0:
                break
            batch = order[position:position + max(1, need + need // 4)]
            position += len(batch)
            rig.try_by_file(batch, tested)
    finally:
        rig.finish(done, f"seed {args.seed}, commit {rig.commit}", args.json)


if __name__ == "__main__":
    main()
