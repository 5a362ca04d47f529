#!/usr/bin/env python3
"""Packs the source files of one target into unity batches that share no file-level name.

A unity batch compiles its files as one translation unit, one after the other. A name declared
at namespace scope in one file (above all inside `namespace {` or `static`: kFailed, state()) is
then seen by the files after it: the same name twice is a redefinition, or, worse, two overloads
of which the compiler silently picks one. So no two files of a batch may declare the same name at
namespace scope, whatever its kind or signature, and no file (nor a project header it includes)
may name what another file of the batch declares as its own helper. A `#define` left defined, a
`using namespace` inside a named namespace or an unbalanced `#pragma` changes how every later file
reads, and a file the reader cannot follow (unbalanced braces): each such file compiles alone. A
`using namespace` outside any named namespace changes how the files after it read, so the files
with one come after every file without in their batch (a batch includes its files in the order
given, the target's), and all the files with one in a batch name the same namespaces: each of them
already reads so. The same namespace alias in several files of a batch names one namespace.

Files are packed, those whose names most others declare first, into the smallest batch of their
own folder (of any folder with --across-folders) of at most --size files.

  unity_groups.py [--size N] [--prefix P] --root DIR FILE...   prints "GROUP FILE" per line, "-"
                  [--across-folders]                           as the group of a file alone
  unity_groups.py --names FILE                                 prints what a file declares
  unity_groups.py --check BUILD                                fails unless the batches BUILD
                                                               compiled are those computed now
  unity_groups.py --self-test                                  packs planted files
"""
import argparse
import os
import re
import sys
import tempfile

KEYWORDS = set("""
alignas alignof and asm auto bool break case catch char char8_t char16_t char32_t class concept
const consteval constexpr constinit const_cast continue co_await co_return co_yield decltype
default delete do double dynamic_cast else enum explicit export extern false float for friend goto
if inline int long mutable namespace new noexcept not nullptr operator or private protected public
register reinterpret_cast requires return short signed sizeof static static_assert static_cast
struct switch template this thread_local throw true try typedef typeid typename union unsigned
using virtual void volatile wchar_t while final override std size_t
""".split())

# GoogleTest's macros declare a class named after their first two arguments.
TEST_MACROS = {"TEST", "TEST_F", "TEST_P", "TYPED_TEST", "TYPED_TEST_P", "TYPED_TEST_SUITE",
               "TYPED_TEST_SUITE_P", "INSTANTIATE_TEST_SUITE_P", "REGISTER_TYPED_TEST_SUITE_P",
               "INSTANTIATE_TYPED_TEST_SUITE_P", "GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST"}

TOKEN = re.compile(r"[A-Za-z_]\w*|\d[\w.']*|::|->|[^\s\w]")


class Unplaceable(Exception):
    """A file that must compile alone; the message says why."""


def strip_literals(text):
    """Text without comments, string and character literals (raw strings too)."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            i = n if j < 0 else j + 2
            out.append(" ")
        elif c == "R" and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            open_paren = text.find("(", i + 2)
            delimiter = text[i + 2:open_paren]
            j = text.find(")" + delimiter + '"', open_paren)
            if open_paren < 0 or j < 0:
                raise Unplaceable("unterminated raw string")
            out.append(" 0 ")
            i = j + len(delimiter) + 2
        elif c in "\"'":
            if c == "'" and i > 0 and text[i - 1].isalnum():  # digit separator 1'000
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(" 0 ")
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def split_directives(text):
    """(code without preprocessor lines, list of directive lines)."""
    code, directives, lines, k = [], [], text.split("\n"), 0
    while k < len(lines):
        line = lines[k]
        if line.lstrip().startswith("#"):
            whole = line
            while whole.endswith("\\") and k + 1 < len(lines):
                k += 1
                whole = whole[:-1] + " " + lines[k]
            directives.append(whole.strip())
            code.append("")
        else:
            code.append(line)
        k += 1
    return "\n".join(code), directives


def check_directives(directives):
    """Refuses directives whose effect outlives the file."""
    defined, pragmas = [], 0
    for d in directives:
        words = d[1:].split()
        if not words:
            continue
        if words[0] == "define":
            defined.append(re.match(r"\w+", words[1]).group(0))
        elif words[0] == "undef" and words[1] in defined:
            defined.remove(words[1])
        elif words[0] == "pragma":
            if words[1:3] == ["GCC", "diagnostic"] and words[3:4] in (["push"], ["pop"]):
                pragmas += 1 if words[3] == "push" else -1
            elif words[1:3] != ["GCC", "diagnostic"] and words[1:2] != ["once"]:
                raise Unplaceable("#pragma " + " ".join(words[1:]))
    if defined:
        raise Unplaceable("#define " + " ".join(defined) + " left defined")
    if pragmas:
        raise Unplaceable("#pragma GCC diagnostic push without pop")


def group_end(tokens, i, open_, close):
    """Index after the group that opens at tokens[i]."""
    depth = 0
    for j in range(i, len(tokens)):
        if tokens[j] == open_:
            depth += 1
        elif tokens[j] == close:
            depth -= 1
            if depth == 0:
                return j + 1
    raise Unplaceable("unbalanced " + open_)


def declared_names(statement):
    """Names one namespace-scope statement declares (its braces collapsed into "{}")."""
    s = list(statement)
    while s and s[0] == "template" and len(s) > 1 and s[1] == "<":
        depth, j = 0, 1
        while j < len(s):
            depth += {"<": 1, ">": -1}.get(s[j], 0)
            j += 1
            if depth <= 0:
                break
        s = s[j:]
    if not s or s[0] == "static_assert":
        return set()
    if s[0] in TEST_MACROS and len(s) > 4:
        return {s[0] + ":" + s[2] + "." + s[4]}
    if s[0] == "using":
        if len(s) > 1 and s[1] == "namespace":
            raise Unplaceable("using namespace " + "".join(s[2:-1]))
        if len(s) > 2 and s[2] == "=":
            return {s[1]}
        return {t for t in s[-2:-1] if re.match(r"[A-Za-z_]", t)}
    if s[0] == "namespace":  # a namespace alias
        return {s[1]}
    names, i = set(), 0
    while i < len(s):
        t = s[i]
        if t in ("struct", "class", "union", "enum"):
            j = i + 1
            while j < len(s) and s[j] in ("class", "struct", "[[", "alignas"):
                j += 1
            if j < len(s) and re.match(r"[A-Za-z_]", s[j]) and (j == 0 or s[j - 1] != "::"):
                if j + 1 >= len(s) or s[j + 1] != "::":
                    names.add(s[j])
            while j < len(s) and s[j] not in ("{}", ";"):
                j += 1
            i = j + 1
            continue
        if t == "operator":
            j = i + 1
            while j < len(s) and s[j] != "(":
                j += 1
            if j == i + 1 and j + 1 < len(s) and s[j + 1] == ")":  # operator()
                j += 2
            names.add("operator" + "".join(s[i + 1:j]))
            i = group_end(s, j, "(", ")") if j < len(s) else j
            continue
        if t in ("(", "["):
            close = ")" if t == "(" else "]"
            end = group_end(s, i, t, close)
            # a declarator in parentheses: void (*handler)(int)
            if t == "(" and i + 2 < end and s[i + 1] in ("*", "&") and re.match(r"[A-Za-z_]", s[i + 2]):
                names.add(s[i + 2])
            i = end
            continue
        if t == "=":  # an initialiser: skip to the next declarator
            j, depth = i + 1, 0
            while j < len(s) and not (depth == 0 and s[j] in (",", ";")):
                depth += {"(": 1, "[": 1, ")": -1, "]": -1}.get(s[j], 0)
                j += 1
            i = j
            continue
        nxt = s[i + 1] if i + 1 < len(s) else ";"
        if (re.match(r"[A-Za-z_]", t) and t not in KEYWORDS and nxt in ("(", "=", ";", "[", "{}", ",", ":")
                and (i == 0 or s[i - 1] not in ("::", ".", "->"))):
            if not (nxt == "(" and t.isupper() and i == 0):  # a macro's call at namespace scope
                names.add(t)
        i += 1
    return names


class FileNames:
    """What one file brings into a batch and what it looks up there."""

    def __init__(self):
        self.declared = set()  # every name declared at namespace scope
        self.local = set()     # those inside `namespace {` or static: the file's own helpers
        self.used = set()      # every name in the file and in the project headers it includes
        self.directives = set()  # namespaces named by a `using namespace` outside any named one
        self.aliases = {}      # namespace alias: the namespace it names ("fs": "std::filesystem")

    def clashes(self, other):
        """Two files clash on a name both declare, or on a helper of one that the other (or a
        header it includes) names: the name would become ambiguous, or a call that found a
        header's function alone would silently pick the helper if it fits better. The same
        namespace alias in both is no clash: both name one namespace, which no lookup can take
        for another, and an alias is never a candidate of a call."""
        both = {name for name in self.declared & other.declared
                if name not in self.aliases or self.aliases[name] != other.aliases.get(name)}
        return bool(both or self.local & other.used or self.used & other.local)

    def add(self, other):
        self.declared |= other.declared
        self.local |= other.local
        self.used |= other.used
        self.aliases.update(other.aliases)


IDENTIFIER = re.compile(r"[A-Za-z_]\w*")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
header_facts = {}  # header path: (names in it, the project headers it includes)


def project_includes(path, root):
    """The project headers a file includes, found under the file's folder, the root or the root's
    tests folder (the include paths of the build)."""
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    headers = []
    for include in INCLUDE.findall(text):
        for folder in (os.path.dirname(path), root, os.path.join(root, "tests")):
            header = os.path.normpath(os.path.join(folder, include))
            if os.path.isfile(header):
                headers.append(header)
                break
    return text, headers


def included_names(path, root):
    """Names in every project header a file includes, directly or through another."""
    names, seen, todo = set(), set(), project_includes(path, root)[1]
    while todo:
        header = todo.pop()
        if header in seen:
            continue
        seen.add(header)
        if header not in header_facts:
            text, headers = project_includes(header, root)
            header_facts[header] = (set(IDENTIFIER.findall(strip_literals(text))), headers)
        names |= header_facts[header][0]
        todo.extend(header_facts[header][1])
    return names


def file_names(path, root):
    """A file's FileNames; raises Unplaceable for a file that must stay alone."""
    with open(path, encoding="utf-8", errors="replace") as f:
        text = strip_literals(f.read())
    code, directives = split_directives(text)
    check_directives(directives)
    tokens = TOKEN.findall(code)
    found = FileNames()
    found.used = set(IDENTIFIER.findall(code)) | included_names(path, root)
    # scopes: "ns" (a named namespace or an extern "C" block), "anon" (`namespace {`) or "body"
    scopes, statement = [], []
    pending = []  # per open body at namespace scope: (statement so far, is a function body)

    classes = {"anon": False, "outside": False}  # classes defined inside and outside `namespace {`

    def note(statement):
        if statement[:2] == ["using", "namespace"] and "ns" not in scopes:
            found.directives.add("".join(statement[2:]))
            return
        names = declared_names(statement + [";"])
        found.declared |= names
        if statement[:1] == ["namespace"] and statement[2:3] == ["="]:
            found.aliases[statement[1]] = "".join(statement[3:])
            return
        if "anon" in scopes or "static" in statement[:statement.index("(") if "(" in statement else None]:
            found.local |= names
        if "{}" in statement and any(k in statement for k in ("struct", "class", "union")):
            classes["anon" if "anon" in scopes else "outside"] = True

    for i, t in enumerate(tokens):
        at_namespace = all(s != "body" for s in scopes)
        if t == "{":
            if at_namespace:
                if statement == ["namespace"]:
                    scopes.append("anon")
                    statement = []
                elif statement[:1] == ["namespace"] or statement[:2] == ["inline", "namespace"] or statement == ["extern", "0"]:
                    scopes.append("ns")
                    statement = []
                else:
                    scopes.append("body")
                    before_paren = statement[:statement.index("(")] if "(" in statement else None
                    # a function's body, not a braced initialiser (of a variable or a default argument)
                    is_function = (before_paren is not None and "=" not in before_paren
                                   and statement.count("(") == statement.count(")")
                                   and not any(k in before_paren for k in ("struct", "class", "union", "enum")))
                    pending.append((statement, is_function))
                    statement = []
            else:
                scopes.append("body")
        elif t == "}":
            if not scopes:
                raise Unplaceable("unbalanced }")
            kind = scopes.pop()
            if all(s != "body" for s in scopes):
                if kind != "body":
                    statement = []
                else:
                    statement, is_function = pending.pop()
                    statement = statement + ["{}"]
                    if is_function:
                        note(statement)
                        statement = []
        elif t == ";" and at_namespace:
            note(statement)
            statement = []
        elif at_namespace:
            statement.append(t)
    if scopes:
        raise Unplaceable("unbalanced {")
    # GCC warns when a class outside `namespace {` holds one of its types anywhere but in the file
    # it compiles (-Wsubobject-linkage), which a file of a batch but the first is not
    if classes["anon"] and classes["outside"]:
        raise Unplaceable("classes inside and outside namespace { }")
    return found


def stays_last(batch, names, at):
    """Whether a file at position `at` may join the batch with the `using namespace` of the
    batch, or of the file, still reaching no file that lacks it: the files with one come after
    every file without, and all say the same (a file that says it already reads so)."""
    if not names.directives:
        return at < batch[5]
    return at > batch[4] and (batch[6] is None or batch[6] == names.directives)


def pack(paths, root, size, prefix, across_folders=False):
    """[(group or None, path)] in the order given, None for a file alone."""
    # batches: [folder, FileNames, count, label, position of its last file without a directive,
    # of its first file with one, the namespaces its directives name or None]
    placed, batches, known = [], [], {}
    position = {path: k for k, path in enumerate(paths)}
    for path in paths:
        try:
            known[path] = file_names(path, root)
        except Unplaceable:
            placed.append((None, path))
    # the files whose names most others declare first, while every batch is still open to them
    uses = {}
    for names in known.values():
        for name in names.declared:
            uses[name] = uses.get(name, 0) + 1
    order = sorted(known, key=lambda p: (-max([uses[n] for n in known[p].declared], default=0), p))
    for path in order:
        names = known[path]
        folder = os.path.dirname(os.path.relpath(path, root))
        # the smallest batch of the file's own folder: batches of even sizes keep every core busy,
        # and a batch's object belongs to one folder, so the link check of the folder layers
        # still tells which folder takes a symbol from which; a build that is not link-checked
        # may take a batch of another folder, where none of its own fits (fewer batches)
        fits = [batch for batch in batches
                if (across_folders or batch[0] == folder) and batch[2] < size
                and not batch[1].clashes(names) and stays_last(batch, names, position[path])]
        fits.sort(key=lambda batch: (batch[0] != folder, batch[2]))
        if fits:
            batch = fits[0]
            batch[1].add(names)
            batch[2] += 1
        else:
            batch = [folder, FileNames(), 1, "%s%d" % (prefix, len(batches) + 1), -1, len(paths), None]
            batch[1].add(names)
            batches.append(batch)
        if names.directives:
            batch[5] = min(batch[5], position[path])
            batch[6] = names.directives
        else:
            batch[4] = max(batch[4], position[path])
        placed.append((batch[3], path))
    # a batch of one file compiles alone
    counts = {}
    for label, _ in placed:
        counts[label] = counts.get(label, 0) + 1
    group = {path: label if label and counts[label] > 1 else None for label, path in placed}
    return [(group[path], path) for path in paths]


def check_build(build):
    """Compares each target's recorded batches with those computed now and with its unity sources."""
    size, across_folders = 8, False
    with open(os.path.join(build, "CMakeCache.txt")) as f:
        for line in f:
            if line.startswith("DRELAN_UNITY_SIZE:"):
                size = int(line.split("=", 1)[1])
            if line.startswith("DRELAN_UNITY_ACROSS_FOLDERS:"):
                across_folders = line.split("=", 1)[1].strip().upper() in ("ON", "1", "TRUE", "YES", "Y")
            if line.startswith("CMAKE_HOME_DIRECTORY:"):
                root = line.split("=", 1)[1].strip()
    problems, targets = [], 0
    groups_dir = os.path.join(build, "unity")
    for name in sorted(os.listdir(groups_dir) if os.path.isdir(groups_dir) else []):
        target = name[:-len(".groups")]
        with open(os.path.join(groups_dir, name)) as f:
            recorded = [tuple(line.rstrip("\n").split(" ", 1)) for line in f if line.strip()]
        paths = [path for _, path in recorded]
        now = [(label or "-", path) for label, path in pack(paths, root, size, target + "_", across_folders)]
        if now != recorded:
            problems.append("%s: the batches recorded differ from those computed now (reconfigure)" % target)
        # the unity sources the target's build rules compile (an old one may lie beside them)
        compiled = {}
        target_dir = os.path.join(build, "CMakeFiles", target + ".dir")
        rules = os.path.join(target_dir, "build.make")
        if os.path.isfile(rules):
            with open(rules) as f:
                labels = set(re.findall(r"^CMakeFiles/[^ ]+\.dir/Unity/unity_(.+)_cxx\.cxx\.o:", f.read(), re.M))
            for label in labels:
                with open(os.path.join(target_dir, "Unity", "unity_%s_cxx.cxx" % label)) as f:
                    compiled[label] = re.findall(r'#include "(.+)"', f.read())
        wanted = {}
        for label, path in recorded:
            if label != "-":
                wanted.setdefault(label, []).append(path)
        # in the order recorded too: a file with a `using namespace` comes after those without
        if compiled != wanted:
            problems.append("%s: the unity sources compiled are not the batches recorded" % target)
        targets += 1
    for problem in problems:
        print("unity_groups --check: " + problem)
    if not problems:
        print("unity_groups --check: the batches of %d targets are those compiled" % targets)
    return 1 if problems else 0


def self_test():
    """Packs planted files: each row names the files and the groups expected, "-" alone."""
    files = {
        "a/one.cpp": "namespace {\nconstexpr int kFailed = -1;\nint state() { return 0; }\n}\n",
        "a/two.cpp": "namespace {\nint kFailed(double) { return 1; }  // another kind, same name\n}\n",
        "a/three.cpp": "static int count_of(int n) { return n; }\nstruct Row { int a; };\n",
        "a/four.cpp": "#define LIMIT 3\nint limit() { return LIMIT; }\n",
        "a/five.cpp": "#define LIMIT 3\n#undef LIMIT\nnamespace { int (*hook)(int) = nullptr; }\n",
        "a/six.cpp": "using namespace std;\nint six() { return 6; }\n",
        "a/sixth.cpp": "namespace {\nusing namespace std;\n}\nint sixth() { return 6; }\n",
        "a/other.cpp": "namespace other {}\nusing namespace other;\nint o() { return 0; }\n",
        "a/alias.cpp": "namespace fs = std::filesystem;\nnamespace { int alias_user() { return 0; } }\n",
        "a/alias2.cpp": "namespace {\nnamespace fs = std::filesystem;\n}\nint other_user() { return 1; }\n",
        "a/alias3.cpp": "namespace fs = other;\nint third() { return 2; }\n",
        "a/inner.cpp": "namespace x {\nusing namespace std;\n}\nint inner() { return 1; }\n",
        "a/seven.cpp": "namespace x { namespace { const char* s = \"}\"; int hook; } }\n",
        "a/eight.cpp": "TEST(Suite, Name) { EXPECT_EQ(1, 1); }\nint helper(int) { return 0; }\n",
        "a/nine.cpp": "TEST(Suite, Other) {}\nnamespace { struct Row : ::testing::Test {}; }\n",
        "b/ten.cpp": "namespace { int state() { return 1; } }\n",
        "b/eleven.cpp": "static int f( {\n",
        "a/caller.cpp": "int use() { return count_of(2); }\n",
        "a/header.hpp": "inline constexpr int kFailed = 0;\n",
        "a/includer.cpp": "#include \"a/header.hpp\"\nint x() { return 0; }\n",
        "a/room.cpp": "namespace { struct Run {}; }\nstruct Room { Run runs; };\n",
        "a/twelve.cpp": "namespace { int state; }\ninline int item(int count = {}) { for (;;) {} }\n",
    }
    rows = [  # (files, size, expected groups in order[, across folders])
        (["a/one.cpp", "a/two.cpp", "a/three.cpp"], 8, ["t1", "-", "t1"]),
        (["a/one.cpp", "a/three.cpp", "a/four.cpp", "a/six.cpp"], 8, ["t1", "t1", "-", "t1"]),
        (["a/six.cpp", "a/three.cpp", "a/one.cpp"], 8, ["-", "t1", "t1"]),  # a directive first
        (["a/sixth.cpp", "a/one.cpp"], 8, ["-", "-"]),  # inside namespace { } it reaches on too
        (["a/three.cpp", "a/six.cpp", "a/sixth.cpp"], 8, ["t1", "t1", "t1"]),  # both name std
        (["a/three.cpp", "a/six.cpp", "a/other.cpp"], 8, ["t1", "-", "t1"]),  # another namespace
        (["a/six.cpp", "a/sixth.cpp", "a/three.cpp"], 8, ["t1", "t1", "-"]),  # a directive before
        (["a/alias.cpp", "a/alias2.cpp", "a/alias3.cpp"], 8, ["t1", "t1", "-"]),  # fs names another
        (["a/three.cpp", "a/inner.cpp"], 8, ["-", "-"]),  # in a named namespace
        (["a/five.cpp", "a/seven.cpp", "a/three.cpp"], 8, ["t1", "-", "t1"]),  # hook twice
        (["a/one.cpp", "a/two.cpp", "a/twelve.cpp", "a/three.cpp"], 8, ["t1", "t2", "t2", "t1"]),
        (["a/eight.cpp", "a/nine.cpp", "a/three.cpp"], 8, ["t1", "t1", "-"]),  # Row twice
        (["a/three.cpp", "a/caller.cpp", "a/one.cpp"], 8, ["-", "t1", "t1"]),  # calls a helper
        (["a/one.cpp", "a/includer.cpp", "a/three.cpp"], 8, ["-", "t1", "t1"]),  # a header names it
        (["a/three.cpp", "b/ten.cpp"], 8, ["-", "-"]),  # two folders
        (["a/three.cpp", "b/ten.cpp"], 8, ["t1", "t1"], True),  # across folders
        (["a/room.cpp", "a/three.cpp", "a/one.cpp"], 8, ["-", "t1", "t1"]),  # holds a hidden type
        (["a/one.cpp", "b/ten.cpp", "a/three.cpp", "b/eleven.cpp"], 8, ["t1", "-", "t1", "-"]),
        (["a/three.cpp", "a/five.cpp", "a/eight.cpp"], 2, ["-", "t1", "t1"]),  # two at most
    ]
    failures = 0
    with tempfile.TemporaryDirectory() as root:
        for name, text in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(name)), exist_ok=True)
            with open(os.path.join(root, name), "w") as f:
                f.write(text)
        for names, size, expected, *across in rows:
            paths = [os.path.join(root, n) for n in names]
            got = [g or "-" for g, _ in pack(paths, root, size, "t", bool(across))]
            if got != expected:
                print("unity_groups self-test: %s packed %s, expected %s" % (names, got, expected))
                failures += 1
    print("unity_groups self-test: %d of %d rows wrong" % (failures, len(rows)))
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--size", type=int, default=16)
    parser.add_argument("--prefix", default="unity")
    parser.add_argument("--root", default=".")
    parser.add_argument("--across-folders", action="store_true")
    parser.add_argument("--names")
    parser.add_argument("--check")
    parser.add_argument("--self-test", action="store_true")
    parser.add_argument("files", nargs="*")
    args = parser.parse_args()
    if args.self_test:
        return self_test()
    if args.check:
        return check_build(args.check)
    if args.names:
        try:
            found = file_names(args.names, args.root)
            print("declared: " + " ".join(sorted(found.declared)))
            print("local: " + " ".join(sorted(found.local)))
        except Unplaceable as why:
            print("alone: %s" % why)
        return 0
    for label, path in pack(args.files, args.root, args.size, args.prefix, args.across_folders):
        print("%s %s" % (label or "-", path))
    return 0


if __name__ == "__main__":
    sys.exit(main())
