#!/usr/bin/env python3
"""Plants one fault at a time into a copy of the sources and runs the unit tests against it.

A fault the tests notice is killed; one they miss SURVIVED and points at behaviour nothing pins.
The copy and its build tree (default build-mutate/) are kept between runs: the core is built there
as a shared library the test programs do not relink against, at -O0 without debug information,
so a fault costs one object, one library link and one `ctest -L unit --stop-on-failure`.

With --matrix every fault runs the whole unit suite instead: each test program (build tree's
tests/*_test, labelled unit) once, --jobs at a time, its GoogleTest output telling which cases
failed. A crash or hang charges the running case; after a crash the program runs again without
the cases done. The report says per case (Suite.Name) how many faults it kills and how many only it
kills, and per source file which cases are sole killers; --matrix-out FILE writes the matrix
as JSON (fault -> killing cases).

    python3 tools/mutate.py                          # every fault over the game-logic folders
    python3 tools/mutate.py src/rules --sample 40    # 40 faults drawn with the fixed seed
    python3 tools/mutate.py --threshold 90           # exit 1 when under 90 % are killed
    python3 tools/mutate.py src/world/Gegner.cpp --list
    python3 tools/mutate.py src/messages --matrix --sample 10 --matrix-out matrix.json

Faults: a flipped comparison, an if/while condition made true or false, a whole-number constant
off by one, a deleted assignment or call, + and - swapped, a dropped else branch. Comments,
string and character literals and preprocessor lines are never touched. A fault that does not
compile, or compiles to the very same object code (code for Windows only, say), is "not built"
and left out of the rate; known equivalent faults are listed with their reason in the table
"Equivalent faults" of docs/testing.md and left out too.
"""
import argparse
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from collections import Counter, namedtuple
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DEFAULT_PATHS = ["src/game", "src/rules", "src/world", "src/messages", "src/highscore", "src/updater", "src/forms"]
EXCLUDED = ["src/forms/sdl/"]  # drawing: covered by the real-window tests, not by unit tests
COPIED = ["CMakeLists.txt", "cmake", "packaging", "src", "tests", "bench", "assets"]  # what the build of the copy needs
EQUIVALENT_FILE = ROOT / "docs" / "testing.md"

Token = namedtuple("Token", "kind text start end")
Mutant = namedtuple("Mutant", "path line start end new change site")

# ---------------------------------------------------------------------------------------------
# Tokens: enough C++ to tell operators from text that only looks like them.

TOKEN_RE = re.compile(
    r"""(?P<space>\s+)
      | (?P<comment>//[^\n]*|/\*.*?\*/)
      | (?P<pre>^[ \t]*\#(?:[^\n]*\\\n)*[^\n]*)
      | (?P<raw>(?:u8|u|U|L)?R"(?P<delim>[^(\s]*)\(.*?\)(?P=delim)")
      | (?P<str>(?:u8|u|U|L)?"(?:\\.|[^"\\\n])*")
      | (?P<num>(?:0[xX][0-9a-fA-F']+|\d[\d']*(?:\.[\d']*)?|\.\d[\d']*)(?:[eEpP][+-]?\d+)?[a-zA-Z_]*)
      | (?P<chr>(?:u8|u|U|L)?'(?:\\.|[^'\\\n])+')
      | (?P<id>[^\W\d]\w*)
      | (?P<punct>->\*|<<=|>>=|<=>|\.\.\.|::|->|\+\+|--|<<|>>|<=|>=|==|!=|&&|\|\||[-+*/%&|^!=<>]=|.)
    """, re.VERBOSE | re.DOTALL | re.MULTILINE)


def tokenize(text):
    tokens = []
    for m in TOKEN_RE.finditer(text):
        kind = m.lastgroup if m.lastgroup != "delim" else "raw"
        if kind in ("space", "comment", "pre"):
            continue
        if kind in ("raw", "chr"):
            kind = "str"
        tokens.append(Token(kind, m.group(), m.start(), m.end()))
    return tokens


def bracket_pairs(tokens):
    """Index of the partner of every (, [ and { and back."""
    pairs, stack = {}, []
    for i, t in enumerate(tokens):
        if t.text in "([{" and t.kind == "punct":
            stack.append(i)
        elif t.text in ")]}" and t.kind == "punct" and stack:
            j = stack.pop()
            pairs[i], pairs[j] = j, i
    return pairs


TEMPLATE_INNER = {"::", ",", "*", "&", "(", ")", "<", ">", ">>", "...", "[", "]"}


def template_brackets(tokens):
    """Indices of the < and > that enclose template arguments (`std::clamp<long long>`)."""
    found = set()
    for i, t in enumerate(tokens):
        if t.text != "<" or i == 0 or tokens[i - 1].kind != "id" or i in found:
            continue
        depth, opened = 1, [i]
        for j in range(i + 1, min(len(tokens), i + 40)):
            u = tokens[j]
            if u.kind not in ("id", "num") and u.text not in TEMPLATE_INNER:
                break
            if u.text == "<":
                depth += 1
                opened.append(j)
            elif u.text in (">", ">>"):
                depth -= len(u.text)
                if depth <= 0:
                    found.update(opened)
                    found.add(j)
                    break
    return found


# ---------------------------------------------------------------------------------------------
# Mutation operators: each yields (first token, last token, replacement text, change).

FLIP = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
STATEMENT_KEYWORDS = {"return", "break", "continue", "goto", "case", "default", "using", "typedef", "namespace",
                      "template", "class", "struct", "enum", "union", "const", "constexpr", "static", "auto",
                      "inline", "extern", "friend", "virtual", "explicit", "public", "private", "protected",
                      "if", "else", "for", "while", "do", "switch", "try", "catch", "throw", "co_return",
                      "bool", "char", "int", "long", "short", "unsigned", "signed", "float", "double", "void",
                      "static_assert", "operator", "sizeof", "new", "delete", "thread_local", "mutable"}
ASSIGNMENTS = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>="}
VALUE_END = {"id", "num", "str"}


def op_comparisons(toks, pairs, templates, source):
    for i, t in enumerate(toks):
        if t.text in FLIP and t.kind == "punct" and i not in templates and toks[i - 1].text != "operator":
            yield i, i, FLIP[t.text], f"`{t.text}` → `{FLIP[t.text]}`"


def op_conditions(toks, pairs, templates, source):
    for i, t in enumerate(toks):
        if t.text not in ("if", "while") or i + 1 >= len(toks) or toks[i + 1].text != "(":
            continue
        first, last = i + 2, pairs.get(i + 1, i + 1) - 1
        depth = 0
        for j in range(first, last + 1):  # an init-statement stays: only what follows its `;`
            depth += toks[j].text in "([{" and toks[j].kind == "punct"
            depth -= toks[j].text in ")]}" and toks[j].kind == "punct"
            if depth == 0 and toks[j].text == ";":
                first = j + 1
        if first > last or any(toks[j].text == "=" for j in range(first, last + 1)):
            continue  # empty, or a declaration in the condition
        cond = " ".join(x.text for x in toks[first:last + 1])
        for value in ("true", "false"):
            if cond != value:
                yield first, last, value, f"{t.text} condition → `{value}`"


INT_RE = re.compile(r"^(0[xX][0-9a-fA-F']+|\d[\d']*)([uUlL]*)$")


def op_constants(toks, pairs, templates, source):
    for i, t in enumerate(toks):
        m = t.kind == "num" and INT_RE.match(t.text)
        if not m or (m.group(1).startswith("0") and len(m.group(1)) > 1 and not m.group(1)[1] in "xX"):
            continue  # octal and oddities: not worth it
        digits, suffix = m.group(1).replace("'", ""), m.group(2)
        hexa = digits[:2].lower() == "0x"
        value = int(digits, 16 if hexa else 10)
        for new in (value + 1, value - 1):
            if hexa and new >= 0:  # same width and case as written
                text = digits[:2] + format(new, f"0{len(digits) - 2}{'x' if any(c in 'abcdef' for c in digits[2:]) else 'X'}") + suffix
            else:
                text = str(new) + suffix
            if new < 0:
                text = f"({text})"
            yield i, i, text, f"`{t.text}` → `{text}`"


def statement_starts(toks, pairs):
    """Indices where a statement may begin: after ; { } at the outer level of a brace block, after
    the parentheses of if/for/while and after else."""
    starts = set()
    for i, t in enumerate(toks):
        if t.text in (";", "{", "}") and t.kind == "punct" and not inside_parentheses(toks, pairs, i):
            starts.add(i + 1)
        elif t.text in ("if", "while", "for") and i + 1 < len(toks) and toks[i + 1].text == "(":
            starts.add(pairs.get(i + 1, i) + 1)
        elif t.text == "else":
            starts.add(i + 1)
    return sorted(s for s in starts if s < len(toks))


def inside_parentheses(toks, pairs, i):
    # Walk back to the enclosing bracket: `for (a; b; c)` separators and braces within calls are no statements.
    j = i - 1
    while j >= 0:
        t = toks[j]
        if t.kind == "punct" and t.text in ")]}" and j in pairs:
            j = pairs[j] - 1
            continue
        if t.kind == "punct" and t.text in "([":
            return True
        if t.kind == "punct" and t.text == "{":
            return False
        j -= 1
    return False


def expression_statement(toks, pairs, s):
    """End index (the `;`) of an assignment, call or ++/-- statement starting at s, else None."""
    t = toks[s]
    if t.kind == "id" and t.text in STATEMENT_KEYWORDS:
        return None
    if t.kind != "id" and t.text not in ("++", "--", "*", "::"):
        return None
    j, head = s, True
    acts = False
    while j < len(toks):
        u = toks[j]
        if u.text == ";":
            return j if acts else None
        if u.text in ("{", "}") and u.kind == "punct":
            return None  # a block or brace initialiser: not a plain statement
        if u.text in ("(", "[") and j in pairs:
            acts = acts or (u.text == "(")
            head = False
            j = pairs[j] + 1
            continue
        if u.text in ASSIGNMENTS or u.text in ("++", "--"):
            acts, head = True, False
        elif head and u.kind == "id" and j > s and toks[j - 1].kind == "id":
            return None  # two names in a row: a declaration
        elif head and u.kind == "punct" and u.text not in (".", "->", "::", "*", "++", "--") and u.text != "this":
            return None  # `Type& x`, `std::vector<int> v`: a declaration
        elif head and u.text == "*" and j > s:
            return None
        j += 1
    return None


def op_delete(toks, pairs, templates, source):
    for s in statement_starts(toks, pairs):
        end = expression_statement(toks, pairs, s)
        if end is not None:
            text = " ".join(source[toks[s].start:toks[end - 1].end].split())
            shown = text if len(text) <= 40 else text[:37] + "…"
            yield s, end, ";", f"delete `{shown};`"


def op_plus_minus(toks, pairs, templates, source):
    swap = {"+": "-", "-": "+", "+=": "-=", "-=": "+="}
    for i, t in enumerate(toks):
        if t.text in swap and t.kind == "punct" and i > 0 and toks[i - 1].text != "operator":
            before = toks[i - 1]
            binary = (before.kind in VALUE_END and before.text not in STATEMENT_KEYWORDS) or before.text in (")", "]")
            if binary:
                yield i, i, swap[t.text], f"`{t.text}` → `{swap[t.text]}`"


def statement_end(toks, pairs, j):
    """Index of the last token of the statement that starts at j."""
    if j >= len(toks):
        return None
    t = toks[j]
    if t.text == "{":
        return pairs.get(j)
    if t.text in ("if", "while", "for", "switch"):
        k = j + 1 + (toks[j + 1].text == "constexpr")
        if toks[k].text != "(" or k not in pairs:
            return None
        end = statement_end(toks, pairs, pairs[k] + 1)
        if t.text == "if" and end is not None and end + 1 < len(toks) and toks[end + 1].text == "else":
            end = statement_end(toks, pairs, end + 2)
        return end
    while j < len(toks):
        if toks[j].text in ("(", "[", "{") and j in pairs:
            j = pairs[j] + 1
            continue
        if toks[j].text == ";":
            return j
        if toks[j].text == "}":
            return None
        j += 1
    return None


def op_drop_else(toks, pairs, templates, source):
    for i, t in enumerate(toks):
        if t.text == "else":
            end = statement_end(toks, pairs, i + 1)
            if end is not None:
                yield i, end, "", "drop `else` branch"


OPERATORS = [op_comparisons, op_conditions, op_constants, op_delete, op_plus_minus, op_drop_else]


def mutants_of(relpath):
    text = (ROOT / relpath).read_text(encoding="utf-8")
    toks = tokenize(text)
    pairs, templates = bracket_pairs(toks), template_brackets(toks)
    result, seen = [], {}
    for op in OPERATORS:
        for first, last, new, change in op(toks, pairs, templates, text):
            start, end = toks[first].start, toks[last].end
            line = text.count("\n", 0, start) + 1
            line_text = text.splitlines()[line - 1].strip()
            key = (relpath, line_text, change)
            seen[key] = seen.get(key, 0) + 1
            if seen[key] > 1:
                change = f"{change} #{seen[key]}"  # the same change twice on one line
            result.append(Mutant(relpath, line, start, end, new, change, line_text))
    return result


def source_files(paths):
    files = []
    for p in paths:
        full = (ROOT / p).resolve()
        if full.is_file():
            files.append(full.relative_to(ROOT).as_posix())
        elif full.is_dir():  # headers only when named: they rebuild every test program
            files += sorted(f.relative_to(ROOT).as_posix() for f in full.rglob("*.cpp"))
        else:
            sys.exit(f"mutate.py: no such file or folder: {p}")
    named = {(ROOT / p).resolve().relative_to(ROOT).as_posix() for p in paths}
    return [f for f in dict.fromkeys(files) if f in named or not any(f.startswith(x) for x in EXCLUDED)]


def load_equivalents(path):
    """The rows `| file | `line as written` | change | reason |` of the table under the heading
    "Equivalent faults" in `path`: faults that change nothing the game does."""
    known, inside = {}, False
    for raw in (path.read_text(encoding="utf-8").splitlines() if path.exists() else []):
        if raw.startswith("#"):
            inside = raw.strip("# ").startswith("Equivalent faults")
        elif inside and raw.startswith("| `src/"):
            cells = [c.strip().replace("\\|", "|") for c in re.split(r"(?<!\\)\|", raw.strip())[1:-1]]
            if len(cells) != 4:
                sys.exit(f"mutate.py: {path}: expected `| file | line | change | reason |`: {raw}")
            file, line, change, reason = cells
            known[(file.strip("`"), line[1:-1] if line.startswith("`") else line, change)] = reason
    return known


# ---------------------------------------------------------------------------------------------
# The copy, its build tree and one run per fault.

def sync_copy(copy):
    """Brings the copy up to date with the work tree, touching only files that differ."""
    wanted = set()
    for name in COPIED:
        src = ROOT / name
        for f in ([src] if src.is_file() else (p for p in src.rglob("*") if p.is_file())):
            rel = f.relative_to(ROOT)
            wanted.add(rel)
            dest = copy / rel
            if not dest.exists() or dest.read_bytes() != f.read_bytes():
                dest.parent.mkdir(parents=True, exist_ok=True)
                shutil.copyfile(f, dest)
    for f in [p for p in copy.rglob("*") if p.is_file() and p.relative_to(copy) not in wanted]:
        f.unlink()


# ccache's base folder would turn __FILE__ into a path relative to the Ninja tree, which tests
# that find their data beside their source cannot follow from their own folder.
ENV = {k: v for k, v in os.environ.items() if k != "CCACHE_BASEDIR"}


def run(cmd, cwd=None, timeout=None):
    """Runs cmd in its own process group; returns (exit code or None on timeout, output)."""
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            errors="replace", start_new_session=True, env=ENV)
    try:
        out, _ = proc.communicate(timeout=timeout)
        return proc.returncode, out
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        out, _ = proc.communicate()
        return None, out
    except BaseException:  # interrupted: leave no build or test behind
        os.killpg(proc.pid, signal.SIGKILL)
        raise


CASE_RE = re.compile(r"\[ *(RUN|OK|FAILED|SKIPPED) *\] (\S+)")


class Workbench:
    def __init__(self, folder, jobs, test_timeout, tests):
        self.copy, self.build = folder / "src", folder / "build"
        self.jobs, self.test_timeout, self.tests = jobs, test_timeout, tests
        self.suite_timeout = None
        self.programs = {}  # matrix mode: program -> [working folder, cases --tests selects, time limit]
        self.build_seconds = 0.0
        self.clean_objects = {}

    def prepare(self):
        sync_copy(self.copy)
        if not (self.build / "CMakeCache.txt").exists():
            cmd = ["cmake", "-S", str(self.copy), "-B", str(self.build), "-DCMAKE_BUILD_TYPE=None",
                   "-DCMAKE_CXX_FLAGS=-O0 -g0", "-DKREISELSTURM_CORE_SHARED=ON", "-DKREISELSTURM_BENCH=OFF"]
            if shutil.which("ninja"):
                cmd += ["-G", "Ninja"]
            code, out = run(cmd)
            if code != 0:
                sys.exit(f"mutate.py: configuring the copy failed:\n{out}")
        if not self.compile():
            sys.exit(f"mutate.py: the unchanged sources do not build in {self.build}:\n{self.last_output}")
        began = time.monotonic()
        verdict = self.test(timeout=None)
        if verdict is not None:
            sys.exit(f"mutate.py: the unit tests fail without any fault ({verdict}); fix them first.")
        # A fault that makes the suite take far longer than the clean run is a hang.
        self.suite_timeout = 3 * (time.monotonic() - began) + 30

    def prepare_matrix(self):
        """Finds the unit test programs, runs each once clean and returns all their cases."""
        code, out = run(["ctest", "-L", "unit", "--show-only=json-v1"] + (["-R", self.tests] if self.tests else []),
                        cwd=self.build)
        for t in json.loads(out)["tests"]:
            cwd = next((p["value"] for p in t.get("properties", []) if p["name"] == "WORKING_DIRECTORY"), self.build)
            self.programs.setdefault(t["command"][0], [cwd, [], None])[1].append(t["name"])
        cases, seconds = [], {}
        for program in self.programs:
            began = time.monotonic()
            failed, ran = self.run_program(program)
            if failed:
                sys.exit(f"mutate.py: {Path(program).name} fails without any fault ({', '.join(failed)}); fix it first.")
            seconds[program] = time.monotonic() - began
            self.programs[program][2] = 3 * seconds[program] + self.test_timeout  # longer is a hang
            cases += ran
        self.programs = dict(sorted(self.programs.items(), key=lambda p: -seconds[p[0]]))  # longest first
        return cases

    def run_program(self, program):
        """({failing case: how}, cases run) for one test program. A crash or hang charges the case
        that was running; after a crash the program runs again without the cases done, so later ones
        count. A hang has used up the program's time: its later cases stay unrun for this fault."""
        cwd, selected, limit = self.programs[program]
        done, failed = [], {}
        while True:
            chosen = ":".join(selected) if self.tests else "*"
            code, out = run([program, f"--gtest_filter={chosen}" + ("-" + ":".join(done) if done else "")],
                            cwd=cwd, timeout=limit)
            running = None
            for what, name in CASE_RE.findall(out):
                if what == "RUN":
                    running = name
                    done.append(name)
                elif name == running:
                    if what == "FAILED":
                        failed[name] = ""
                    running = None
            if running:
                failed[running] = "timeout" if code is None else "crash"
                if code is not None:
                    continue
            elif code != 0 and not failed:  # outside every case: at start-up or exit
                failed[f"{Path(program).name} (exit)"] = "timeout" if code is None else f"exit {code}"
            return failed, done

    def test_matrix(self):
        """Every failing case of every unit test program: {case: how}."""
        with ThreadPoolExecutor(self.jobs) as pool:
            return {case: how for failed, _ in pool.map(self.run_program, self.programs) for case, how in failed.items()}

    def compile(self):
        code, self.last_output = run(["cmake", "--build", str(self.build), "-j", str(self.jobs)])
        return code == 0

    def test(self, timeout, likely=()):
        """None when every unit test passes, else the first that failed. The tests that caught earlier
        faults in the same file run first: they catch most of the next ones in a fraction of the time."""
        if likely:
            chosen = "^(" + "|".join(re.escape(t) for t in likely) + ")$"
            verdict = self.ctest(["-R", chosen], timeout)
            return verdict or self.ctest(["-E", chosen], timeout)
        return self.ctest([], timeout)

    def ctest(self, selection, timeout):
        cmd = ["ctest", "-L", "unit", "--stop-on-failure", "--timeout", str(self.test_timeout), "-j", str(self.jobs)]
        if self.tests:
            cmd += ["-R", self.tests]
        code, out = run(cmd + selection, cwd=self.build, timeout=timeout)
        if code is None:
            return "timeout (whole suite)"
        if code == 0:
            return None
        for line in out.splitlines():
            m = re.search(r"Test\s+#\d+: (\S+) \.*\s*(\*\*\*\w+|Subprocess aborted|Exception|\S*\*\*\*)(.*)", line)
            if m and "Passed" not in line:
                how = "timeout" if "Timeout" in line else ("crash" if "Exception" in line or "aborted" in line else "")
                return m.group(1) + (f" ({how})" if how else "")
        return "ctest failed: " + (out.strip().splitlines() or ["?"])[-1]

    def objects(self, relpath):
        """The object files built from one source file, with their bytes."""
        return {o: o.read_bytes() for o in self.build.glob(f"**/CMakeFiles/*.dir/{relpath}.o")}

    def try_mutant(self, mutant, original, check):
        path = self.copy / mutant.path
        if mutant.path not in self.clean_objects:  # a file's faults come in a row, after a clean build
            self.clean_objects[mutant.path] = self.objects(mutant.path)
        path.write_text(original[:mutant.start] + mutant.new + original[mutant.end:], encoding="utf-8")
        try:
            began = time.monotonic()
            if not self.compile():
                return "not built"
            self.build_seconds += time.monotonic() - began
            # Code for another system (#ifdef _WIN32) or folded away by the compiler: no new program.
            if self.clean_objects[mutant.path] and self.objects(mutant.path) == self.clean_objects[mutant.path]:
                return "not built: same machine code"
            return check()
        finally:
            path.write_text(original, encoding="utf-8")


# ---------------------------------------------------------------------------------------------

def folder_of(path):
    return path.rsplit("/", 1)[0]


def main():
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("paths", nargs="*", default=DEFAULT_PATHS, help="folders (their .cpp files) or files to mutate")
    ap.add_argument("--sample", type=int, metavar="N", help="run only N faults, drawn with --seed")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--threshold", type=float, metavar="PCT", help="exit 1 when fewer than PCT %% are killed")
    ap.add_argument("--build", default=str(ROOT / "build-mutate"), help="folder for the copy and its build tree")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--timeout", type=int, default=20, help="seconds one test may take before it counts as hung")
    ap.add_argument("--tests", metavar="REGEX", help="run only these unit tests (quick checks; not for the rate)")
    ap.add_argument("--equivalent", default=str(EQUIVALENT_FILE), help="the file whose table 'Equivalent faults' lists the known equivalent faults")
    ap.add_argument("--list", action="store_true", help="only list the faults, build nothing")
    ap.add_argument("--matrix", action="store_true", help="run every test case against every fault and report "
                    "per case how many faults it kills, and how many only it kills")
    ap.add_argument("--matrix-out", metavar="FILE", help="with --matrix: write fault -> killing cases as JSON")
    args = ap.parse_args()

    mutants = [m for f in source_files(args.paths) for m in mutants_of(f)]
    if args.sample is not None and args.sample < len(mutants):
        mutants = random.Random(args.seed).sample(mutants, args.sample)
    mutants.sort(key=lambda m: (m.path, m.start, m.change))
    known = load_equivalents(Path(args.equivalent))
    if args.list:
        for m in mutants:
            print(f"{m.path}:{m.line}\t{m.change}\t{m.site}")
        print(f"{len(mutants)} faults")
        return 0

    bench = Workbench(Path(args.build).resolve(), args.jobs, args.timeout, args.tests)
    began = time.monotonic()
    bench.prepare()
    cases = bench.prepare_matrix() if args.matrix else []
    print(f"{'where':<40} {'change':<48} result", flush=True)
    results, originals, killers, matrix = [], {}, {}, {}
    for m in mutants:
        reason = known.get((m.path, m.site, m.change))
        if reason:
            verdict = "equivalent: " + reason
        else:
            if m.path not in originals:
                originals[m.path] = (ROOT / m.path).read_text(encoding="utf-8")
            likely = killers.get(m.path, [])
            verdict = bench.try_mutant(m, originals[m.path], bench.test_matrix if args.matrix else
                                       lambda: bench.test(bench.suite_timeout, likely) or "SURVIVED")
            if isinstance(verdict, dict):  # the matrix: every failing case
                matrix[m] = sorted(verdict)
                shown = [f"{c} ({verdict[c]})" if verdict[c] else c for c in matrix[m]]
                more = f", … (+{len(shown) - 3})" if len(shown) > 3 else ""
                verdict = f"killed by {len(shown)}: " + ", ".join(shown[:3]) + more if shown else "SURVIVED"
            elif verdict != "SURVIVED" and not verdict.startswith("not built"):
                test = verdict.split(" ")[0]
                if not test.startswith(("ctest", "timeout")):
                    killers[m.path] = [test] + [t for t in killers.get(m.path, []) if t != test][:4]
                verdict = "killed by " + verdict
        results.append((m, verdict))
        print(f"{m.path + ':' + str(m.line):<40} {m.change:<48} {verdict}", flush=True)
        if verdict == "SURVIVED":
            print(f"{'':<40}   in: {m.site}", flush=True)
    if mutants:
        bench.compile()  # leave the tree built from the unchanged sources

    if args.matrix:
        report_matrix(results, matrix, cases, args.matrix_out)
    rate = summarize(results, time.monotonic() - began)
    print(f"Building the faults took {bench.build_seconds:.0f} s of that.")
    if args.threshold is not None and rate < args.threshold:
        print(f"Kill rate {rate:.1f} % is below the threshold of {args.threshold:g} %.")
        return 1
    return 0


def report_matrix(results, matrix, cases, out_file):
    """Per case: faults killed, and faults only it kills; per source file: who kills alone there."""
    kills = Counter(c for killers in matrix.values() for c in killers)
    sole = Counter(killers[0] for killers in matrix.values() if len(killers) == 1)
    everyone = sorted(set(cases) | set(kills), key=lambda c: (-sole[c], -kills[c], c))
    width = max(map(len, everyone), default=4) + 2
    print(f"\n{'case':<{width}} {'kills':>5} {'sole':>5}")
    for case in everyone:
        print(f"{case:<{width}} {kills[case]:>5} {sole[case]:>5}")
    idle = [c for c in everyone if not sole[c]]
    print(f"{len(idle)} of {len(everyone)} cases kill no fault alone.")
    print(f"\n{'file':<40} {'faults':>6} {'killed':>6} {'by one':>6} {'survived':>8}  sole killers")
    for path in sorted({m.path for m, _ in results}):
        mine = [(m, v) for m, v in results if m.path == path]
        hit = [matrix[m] for m, _ in mine if matrix.get(m)]
        alone = sorted({k[0] for k in hit if len(k) == 1})
        print(f"{path:<40} {len(mine):>6} {len(hit):>6} {sum(len(k) == 1 for k in hit):>6} "
              f"{sum(v == 'SURVIVED' for _, v in mine):>8}  {', '.join(alone)}")
    if out_file:
        faults = [{"file": m.path, "line": m.line, "change": m.change, "site": m.site,
                   "verdict": "killed" if matrix.get(m) else v, "killers": matrix.get(m, [])} for m, v in results]
        Path(out_file).write_text(json.dumps({"command": " ".join(sys.argv[1:]), "cases": everyone, "faults": faults},
                                             ensure_ascii=False, indent=1) + "\n", encoding="utf-8")


def summarize(results, seconds):
    rows = {}
    for m, verdict in results:
        kind = verdict.split(" ")[0].rstrip(":")
        row = rows.setdefault(folder_of(m.path), {"killed": 0, "SURVIVED": 0, "equivalent": 0, "not": 0})
        row[kind] += 1
    print(f"\n{'folder':<18} {'faults':>6} {'killed':>6} {'survived':>8} {'equiv.':>6} {'not built':>9} {'rate':>7}")
    total = {"killed": 0, "SURVIVED": 0, "equivalent": 0, "not": 0}
    for folder in sorted(rows):
        row = rows[folder]
        for k in total:
            total[k] += row[k]
        print(line_of(folder, row))
    print(line_of("all", total))
    counted = total["killed"] + total["SURVIVED"]
    rate = 100.0 * total["killed"] / counted if counted else 100.0
    print(f"\nSummary: {total['killed']} of {counted} faults killed ({rate:.1f} %), {total['SURVIVED']} survived, "
          f"{total['equivalent']} equivalent, {total['not']} not built; {len(results)} faults in {seconds:.0f} s.")
    return rate


def line_of(name, row):
    counted = row["killed"] + row["SURVIVED"]
    rate = f"{100.0 * row['killed'] / counted:.1f} %" if counted else "-"
    faults = sum(row.values())
    return (f"{name:<18} {faults:>6} {row['killed']:>6} {row['SURVIVED']:>8} {row['equivalent']:>6} "
            f"{row['not']:>9} {rate:>7}")


if __name__ == "__main__":
    sys.exit(main())
