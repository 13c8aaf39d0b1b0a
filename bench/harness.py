#!/usr/bin/env python3
"""Benchmark harness: Quorel against ripgrep, SQLite FTS5 (trigram) and Xapian
(CJK n-grams) on the same pages.

bench/run calls the subcommands in order; each can also be run by hand:
  groups OUT_DIR                 variant groups for a synthetic collection (from OpenCC)
  queries COLLECTION CORPUS OUT  the fixed query set (seeded) drawn from the corpus
  rg-run CORPUS QUERIES OUT      ripgrep over the corpus file, one process per query
  measure ...                    everything: exports, peer indexes, runs, RESULTS.md
  results --work W --results R   RESULTS.md again from a finished run
"""

import argparse
import bisect
import datetime
import json
import os
import platform
import random
import resource
import shutil
import statistics
import subprocess
import sys
import time
import unicodedata

FNV_OFFSET = 1469598103934665603
FNV_PRIME = 1099511628211
STAR_REACH = 300
FULLWIDTH_QUESTION = "\uFF1F"


# ---------------------------------------------------------------- characters

def char_number(cp):
    """The index's character number of a code point, or -1 (not indexed)."""
    if 0x3400 <= cp <= 0x9FFF:
        return cp - 0x3400
    if 0xF900 <= cp <= 0xFAFF:
        return cp - 0x8C00
    if 0x20000 <= cp <= 0x2A6DF:
        return cp - 0x18100
    if 0x2F800 <= cp <= 0x2FA1F:
        return cp - 0x1D220
    if 0x3042 <= cp <= 0x30F6:
        return cp + 0xF7BE
    if 0xE000 <= cp <= 0xFFFF:
        return cp + 0x48B5
    return -1


def indexed(ch):
    """A character a plain phrase may hold: one with a character number that is
    a letter (ideographs, kana), not punctuation such as the full-width comma."""
    return char_number(ord(ch)) >= 0 and unicodedata.category(ch) == "Lo"


def hash_pages(pages):
    """FNV-1a over the sorted pages, as the runners compute it."""
    h = FNV_OFFSET
    for page in sorted(pages):
        for shift in (0, 8, 16, 24):
            h ^= (page >> shift) & 0xFF
            h = (h * FNV_PRIME) & 0xFFFFFFFFFFFFFFFF
    return str(h)


def load_groups(collection):
    """The variant groups of a collection's yitizi.txt, as the index reads it."""
    path = os.path.join(collection, "yitizi.txt")
    groups = []
    if not os.path.exists(path):
        return groups
    with open(path, "rb") as f:
        for line in f.read().split(b"\n"):
            if not line:
                continue
            members = []
            for token in line.split(b","):
                if not token:
                    continue
                text = token.decode("latin-1").strip()
                digits = ""
                if text[:2].lower() == "0x":
                    text = text[2:]
                for c in text:
                    if c in "0123456789abcdefABCDEF":
                        digits += c
                    else:
                        break
                members.append(min(int(digits, 16), 0xFFFFFFFF) if digits else 0)
            groups.append(members)
    return groups


# ---------------------------------------------------------------- groups

def make_groups(out_dir):
    """Traditional/simplified groups from OpenCC's dictionaries, merged with a
    union-find, one group per line ordered by its smallest member."""
    parent = {}

    def find(x):
        while parent.setdefault(x, x) != x:
            parent[x] = parent[parent[x]]
            x = parent[x]
        return x

    for name in ("TSCharacters", "STCharacters"):
        text_path = os.path.join(out_dir, name + ".txt")
        subprocess.run(["opencc_dict", "-i", "/usr/share/opencc/%s.ocd2" % name, "-o", text_path,
                        "-f", "ocd2", "-t", "text"], check=True)
        with open(text_path, encoding="utf-8") as f:
            for line in f:
                key, _, values = line.rstrip("\n").partition("\t")
                if len(key) != 1:
                    continue
                for v in values.split():
                    if len(v) == 1 and v != key:
                        parent[find(ord(v))] = find(ord(key))
        os.remove(text_path)
    groups = {}
    for cp in list(parent):
        groups.setdefault(find(cp), []).append(cp)
    lines = sorted(sorted(g) for g in groups.values() if len(g) > 1)
    lines = lines[:11935]
    with open(os.path.join(out_dir, "yitizi.txt"), "w") as f:
        for g in lines:
            f.write(",".join("%X" % cp for cp in g) + "\n")
    print(json.dumps({"groups": len(lines)}))


# ---------------------------------------------------------------- corpus

class Corpus:
    """The exported pages as one string (pages joined by newlines) with the
    start offset of every page."""

    def __init__(self, path):
        texts = []
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                _, _, text = line.rstrip("\n").partition("\t")
                texts.append(text)
        self.pages = len(texts)
        self.starts = []
        offset = 0
        for t in texts:
            self.starts.append(offset)
            offset += len(t) + 1
        self.text = "\n".join(texts)

    def page_of(self, pos):
        return bisect.bisect_right(self.starts, pos) - 1

    def run_around(self, pos):
        """The run of indexed characters holding pos: [a, b)."""
        a = pos
        while a > 0 and indexed(self.text[a - 1]):
            a -= 1
        b = pos
        while b < len(self.text) and indexed(self.text[b]):
            b += 1
        return a, b


# ---------------------------------------------------------------- query set

class QuerySampler:
    def __init__(self, corpus, groups, seed):
        self.corpus = corpus
        self.random = random.Random(seed)
        self.vocabulary = sorted({c for c in corpus.text if indexed(c)})
        self.group_of = {}
        for g, members in enumerate(groups):
            for cp in members:
                self.group_of.setdefault(cp, g)
        self.groups = groups

    def phrase_at(self, pos, length):
        """A phrase of length indexed characters holding pos, or None."""
        if pos >= len(self.corpus.text) or not indexed(self.corpus.text[pos]):
            return None
        a, b = self.corpus.run_around(pos)
        if b - a < length:
            return None
        lo, hi = max(a, pos - length + 1), min(pos, b - length)
        start = self.random.randint(lo, hi)
        return self.corpus.text[start:start + length], start

    def common(self, length, tries=2000):
        """A phrase starting at a random text position: frequent characters come first."""
        for _ in range(tries):
            found = self.phrase_at(self.random.randrange(len(self.corpus.text)), length)
            if found:
                return found
        return None

    def rare(self, length, tries=2000):
        """A phrase around a character drawn uniformly from the vocabulary."""
        for _ in range(tries):
            ch = self.random.choice(self.vocabulary)
            pos = self.corpus.text.find(ch, self.random.randrange(len(self.corpus.text)))
            if pos < 0:
                pos = self.corpus.text.find(ch)
            found = self.phrase_at(pos, length)
            if found:
                return found
        return None

    def alternatives(self, ch):
        g = self.group_of.get(ord(ch))
        if g is None:
            return [ch]
        return [chr(cp) for cp in self.groups[g] if 0 < cp <= 0xFFFF]

    def expand(self, word):
        """Every variant spelling of word, the first character varying slowest."""
        spellings = [""]
        for ch in word:
            spellings = [s + a for s in spellings for a in self.alternatives(ch)]
        return spellings


def plain(qid, cls, word, origin):
    return {"id": qid, "class": cls, "mode": "all", "variants": False, "text": word,
            "words": [[word]], "origin": origin}


def build_queries(collection, corpus_path, out_path, seed, per_length):
    corpus = Corpus(corpus_path)
    sampler = QuerySampler(corpus, load_groups(collection), seed)
    queries = []
    seen = set()

    def add(q):
        key = (q["text"], q["mode"], q["variants"])
        if key in seen:
            return False
        seen.add(key)
        queries.append(q)
        return True

    # Phrases of 1 to 8 characters, half from random text positions (common),
    # half around characters drawn from the vocabulary (rare).
    for length in range(1, 9):
        cls = "phrase-%d" % length if length <= 4 else "phrase-5-8"
        count = per_length if length <= 4 else max(1, per_length * 2 // 3)
        made = 0
        for k in range(count * 4):
            if made >= count:
                break
            origin = "common" if k % 2 == 0 else "rare"
            found = sampler.common(length) if origin == "common" else sampler.rare(length)
            if found and add(plain("p%d-%03d" % (length, made), cls, found[0], origin)):
                made += 1

    def two_words(mode, n, lengths, same_page):
        made = 0
        for _ in range(n * 10):
            if made >= n:
                return
            a = sampler.common(sampler.random.choice(lengths))
            if not a:
                continue
            if same_page:
                page = corpus.page_of(a[1])
                lo, hi = corpus.starts[page], corpus.starts[page] + 400
                b = sampler.phrase_at(sampler.random.randrange(lo, max(lo + 1, hi)), sampler.random.choice(lengths))
            else:
                b = sampler.rare(sampler.random.choice(lengths))
            if not b or b[0] == a[0]:
                continue
            q = {"id": "%s-%03d" % (mode, made), "class": "%s-2" % mode, "mode": mode, "variants": False,
                 "text": a[0] + " " + b[0], "words": [[a[0]], [b[0]]], "origin": "pair"}
            if add(q):
                made += 1

    two_words("all", 30, [1, 2, 3], True)
    two_words("any", 30, [2, 3], False)

    # "?" stands for one inner character; "*" joins two phrases of one page.
    made = 0
    for _ in range(400):
        if made >= 20:
            break
        found = sampler.common(sampler.random.choice([3, 4]))
        if not found:
            continue
        word = found[0]
        k = sampler.random.randrange(1, len(word) - 1)
        mark = "?" if made % 2 == 0 else FULLWIDTH_QUESTION
        word = word[:k] + mark + word[k + 1:]
        q = plain("wq-%03d" % made, "wild-?", word, "common")
        if add(q):
            made += 1
    made = 0
    for _ in range(400):
        if made >= 20:
            break
        a = sampler.common(2)
        if not a:
            continue
        gap = sampler.random.randint(3, 60)
        b = sampler.phrase_at(a[1] + 2 + gap, 2)
        if not b or corpus.page_of(b[1]) != corpus.page_of(a[1]) or b[1] < a[1] + 2:
            continue
        if add(plain("ws-%03d" % made, "wild-*", a[0] + "*" + b[0], "common")):
            made += 1

    # Variant queries: a phrase of the text whose grouped characters are
    # replaced by another member of their group (mostly the simplified form).
    made = 0
    for _ in range(4000):
        if made >= 20:
            break
        found = sampler.common(sampler.random.choice([2, 3]))
        if not found:
            continue
        word = found[0]
        changed = ""
        for ch in word:
            others = [a for a in sampler.alternatives(ch) if a != ch]
            changed += min(others) if others else ch
        spellings = sampler.expand(changed)
        if changed == word or len(spellings) > 64:
            continue
        q = {"id": "v-%03d" % made, "class": "variant", "mode": "all", "variants": True, "text": changed,
             "words": [spellings], "origin": word}
        if add(q):
            made += 1

    with open(out_path, "w", encoding="utf-8") as f:
        json.dump({"seed": seed, "queries": queries}, f, ensure_ascii=False, indent=0)
    counts = {}
    for q in queries:
        counts[q["class"]] = counts.get(q["class"], 0) + 1
    print(json.dumps({"queries": len(queries), "classes": counts}, ensure_ascii=False))


# ---------------------------------------------------------------- ripgrep

def rg_pattern(spelling):
    out = ""
    for ch in spelling:
        if ch in ("?", FULLWIDTH_QUESTION):
            out += "."
        elif ch == "*":
            out += ".{0,%d}" % STAR_REACH
        else:
            out += "\\" + ch if ch in "\\.+()[]{}|^$" else ch
    return out


def rg_word_args(spellings):
    """rg arguments matching a line holding any of the spellings."""
    fixed = not any(any(c in s for c in "?*" + FULLWIDTH_QUESTION) for s in spellings)
    args = ["-F"] if fixed else []
    for s in spellings:
        args += ["-e", s if fixed else rg_pattern(s)]
    return args


def rg_commands(query, corpus, count):
    """The command line(s) a ripgrep user would run; a pipe for all-words queries."""
    base = ["rg", "--no-config", "--no-filename"]
    tail = ["-c"] if count else ["--no-line-number"]
    if query["mode"] == "any" or len(query["words"]) == 1:
        spellings = [s for w in query["words"] for s in w]
        return [base + tail + rg_word_args(spellings) + [corpus]]
    commands = [base + ["--no-line-number"] + rg_word_args(query["words"][0]) + [corpus]]
    for i, w in enumerate(query["words"][1:]):
        last = i == len(query["words"]) - 2
        commands.append(base + (tail if last else ["--no-line-number"]) + rg_word_args(w))
    return commands


def run_pipeline(commands):
    """Runs the commands as a pipe; returns the last one's output and the CPU
    seconds (user + system) of all of them."""
    procs = []
    previous = None
    for cmd in commands:
        p = subprocess.Popen(cmd, stdin=previous, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if previous is not None:
            previous.close()
        previous = p.stdout
        procs.append(p)
    out = procs[-1].stdout.read()
    procs[-1].stdout.close()
    cpu = 0.0
    for p in procs:
        _, status, usage = os.wait4(p.pid, 0)
        p.returncode = os.waitstatus_to_exitcode(status)
        cpu += usage.ru_utime + usage.ru_stime
    return out, cpu


def rg_run(corpus, queries_path, out_path, reps, warmups, page_lists):
    queries = json.load(open(queries_path, encoding="utf-8"))["queries"]
    report = {"engine": "ripgrep", "queries": []}
    outcomes = [{"id": q["id"], "micros": [], "cpu_micros": []} for q in queries]
    for rep in range(warmups + reps):
        for q, o in zip(queries, outcomes):
            commands = rg_commands(q, corpus, count=True)
            start = time.perf_counter()
            out, cpu = run_pipeline(commands)
            elapsed = (time.perf_counter() - start) * 1e6
            if rep >= warmups:
                o["micros"].append(elapsed)
                o["cpu_micros"].append(cpu * 1e6)
            if rep == 0:
                o["count"] = int(out.strip() or 0)
    # The page lists (not timed): the matching lines themselves.
    for q, o in zip(queries, outcomes):
        o["pages"] = o["count"]
        if not page_lists:
            continue
        out, _ = run_pipeline(rg_commands(q, corpus, count=False))
        pages = [int(line.split(b"\t", 1)[0]) for line in out.splitlines() if line]
        o["pages"] = len(pages)
        o["hash"] = hash_pages(pages)
    report["maxrss_kb"] = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    report["queries"] = outcomes
    json.dump(report, open(out_path, "w"))


# ---------------------------------------------------------------- measuring

def percentile(values, p):
    if not values:
        return None
    s = sorted(values)
    k = (len(s) - 1) * p
    lo = int(k)
    hi = min(lo + 1, len(s) - 1)
    return s[lo] + (s[hi] - s[lo]) * (k - lo)


def sh(cmd, **kw):
    print("+ " + " ".join(str(c) for c in cmd), file=sys.stderr, flush=True)
    return subprocess.run([str(c) for c in cmd], check=True, **kw)


def sh_json(cmd):
    out = sh(cmd, stdout=subprocess.PIPE).stdout.decode()
    return json.loads(out.strip().splitlines()[-1])


def timed(cmd):
    start = time.perf_counter()
    result = sh_json(cmd)
    result["wall_seconds"] = time.perf_counter() - start
    return result


def tree_bytes(path):
    if os.path.isfile(path):
        return os.path.getsize(path)
    return sum(os.path.getsize(os.path.join(d, f)) for d, _, files in os.walk(path) for f in files)


def quorel_sizes(collection):
    size = lambda name: os.path.getsize(os.path.join(collection, name)) if os.path.exists(os.path.join(collection, name)) else 0
    full = size("Index-idx.h") + size("Index-idx.m")
    scopes = full + sum(size("Index%s-idx.%s" % (s, e)) for s in ("_content", "_desc") for e in ("h", "m"))
    store = size("Index-fl.h") + size("Index-fl.cnt")
    return {"full_text_index": full, "all_indexes": scopes, "store": store}


def drop_caches():
    """True when the page cache could be dropped (root, and the kernel allows it)."""
    try:
        os.sync()
        with open("/proc/sys/vm/drop_caches", "w") as f:
            f.write("3\n")
        return True
    except OSError:
        return False


class Bench:
    def __init__(self, args):
        self.args = args
        self.bin = os.path.abspath(args.bin)
        self.work = os.path.abspath(args.work)
        os.makedirs(self.work, exist_ok=True)

    def tool(self, name):
        return os.path.join(self.bin, name)

    def prepare(self, collection, tag, peers):
        """Exports the corpus and builds the peer indexes of one collection. An
        index built before from the same corpus is kept, with its build figures."""
        d = os.path.join(self.work, tag)
        os.makedirs(d, exist_ok=True)
        corpus = os.path.join(d, "corpus.tsv")
        info = {"collection": collection}
        info["export"] = sh_json([self.tool("quorel-bench-export"), collection, corpus])
        stamp = "%d %s" % (os.path.getsize(corpus), hash_pages([info["export"]["pages"], info["export"]["text_bytes"]]))
        for engine, target in (("sqlite", "fts5.db"), ("xapian", "xapian")):
            if engine not in peers:
                continue
            built = os.path.join(d, "build-%s.json" % engine)
            path = os.path.join(d, target)
            previous = json.load(open(built)) if os.path.exists(built) else {}
            if previous.get("stamp") == stamp and os.path.exists(path):
                info[engine] = previous
                continue
            info[engine] = timed([self.tool("quorel-bench-%s" % engine), "build", corpus, path])
            info[engine]["bytes"] = tree_bytes(path)
            info[engine]["stamp"] = stamp
            json.dump(info[engine], open(built, "w"))
        info["quorel"] = quorel_sizes(collection)
        info["corpus_bytes"] = os.path.getsize(corpus)
        return info

    def run_engines(self, collection, tag, queries, reps, cold, pages_out, engines):
        d = os.path.join(self.work, tag)
        corpus = os.path.join(d, "corpus.tsv")
        runs = {
            "quorel": lambda out, r, w, pages: [self.tool("quorel-bench-quorel"), "search", collection, queries, out,
                                                "--reps", r, "--warmups", w] + (["--pages", pages] if pages else []),
            "sqlite": lambda out, r, w, pages: [self.tool("quorel-bench-sqlite"), "search", os.path.join(d, "fts5.db"),
                                                queries, out, "--reps", r, "--warmups", w] + (["--pages", pages] if pages else []),
            "xapian": lambda out, r, w, pages: [self.tool("quorel-bench-xapian"), "search", os.path.join(d, "xapian"),
                                                queries, out, "--reps", r, "--warmups", w] + (["--pages", pages] if pages else []),
            "ripgrep": lambda out, r, w, pages: [sys.executable, os.path.abspath(__file__), "rg-run", corpus, queries,
                                                 out, "--reps", r, "--warmups", w] + ([] if pages_out else ["--no-pages"]),
        }
        reports = {}
        for engine, make in runs.items():
            if engine not in engines:
                continue
            out = os.path.join(d, "run-%s.json" % engine)
            pages = os.path.join(d, "pages-%s.txt" % engine) if pages_out and engine != "ripgrep" else None
            rg_reps = max(1, reps // 2)  # a scan per query: fewer passes keep the run short
            r = rg_reps if engine == "ripgrep" else reps
            sh(make(out, r, 1, pages))
            reports[engine] = json.load(open(out))
            if cold and drop_caches():
                cold_out = os.path.join(d, "cold-%s.json" % engine)
                sh(make(cold_out, 1, 0, None))
                reports[engine]["cold"] = json.load(open(cold_out))
        return reports

    def render(self, collection, queries):
        out = os.path.join(self.work, "render.json")
        sh([self.tool("quorel-bench-quorel"), "render", collection, queries, out, "--reps", 20])
        return json.load(open(out))

    def micro(self):
        out = os.path.join(self.work, "micro.json")
        sh([self.tool("quorel-bench-micro"), "--benchmark_format=json", "--benchmark_out=" + out,
            "--benchmark_out_format=json", "--benchmark_min_time=0.2"], stdout=subprocess.DEVNULL)
        return json.load(open(out))


# ---------------------------------------------------------------- summaries

CLASS_ORDER = ["phrase-1", "phrase-2", "phrase-3", "phrase-4", "phrase-5-8", "all-2", "any-2", "wild-?", "wild-*",
               "variant"]
ENGINES = ["quorel", "ripgrep", "sqlite", "xapian"]
# Which peers share Quorel's semantics per class: those are held to agree on pages.
AGREES = {"wild-?": ["ripgrep", "sqlite"], "wild-*": ["ripgrep"]}


def per_query_medians(report):
    return {q["id"]: statistics.median(q["micros"]) for q in report["queries"] if q["micros"]}


def class_stats(queries, report):
    medians = per_query_medians(report)
    stats = {}
    for cls in CLASS_ORDER + ["all"]:
        values = [medians[q["id"]] for q in queries if (cls == "all" or q["class"] == cls) and q["id"] in medians]
        if values:
            stats[cls] = {"n": len(values), "median": percentile(values, 0.5), "p90": percentile(values, 0.9),
                          "p99": percentile(values, 0.99)}
    return stats


def agreement(queries, reports):
    """Per class and peer: queries compared, and the disagreeing ones."""
    by_id = {e: {q["id"]: q for q in r["queries"]} for e, r in reports.items()}
    result = {}
    for q in queries:
        peers = AGREES.get(q["class"], [e for e in ENGINES if e != "quorel"])
        mine = by_id["quorel"].get(q["id"])
        for peer in peers:
            theirs = by_id.get(peer, {}).get(q["id"])
            if not mine or not theirs or "hash" not in theirs:
                continue
            entry = result.setdefault(q["class"], {}).setdefault(peer, {"compared": 0, "differ": []})
            entry["compared"] += 1
            if theirs["hash"] != mine["hash"]:
                entry["differ"].append({"id": q["id"], "text": q["text"], "quorel": mine["pages"],
                                        peer: theirs["pages"]})
    return result


def fmt_us(v):
    if v is None:
        return "–"
    if v >= 10000:
        return "%.0f ms" % (v / 1000)
    if v >= 1000:
        return "%.1f ms" % (v / 1000)
    if v >= 100:
        return "%.0f µs" % v
    return "%.1f µs" % v


def fmt_ratio(mine, theirs):
    if mine is None or theirs is None or mine <= 0:
        return "–"
    r = theirs / mine
    return "%.0f×" % r if r >= 10 else "%.1f×" % r


def mb(n):
    return n / 1e6


def machine():
    cpu = "?"
    try:
        for line in open("/proc/cpuinfo"):
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
        mem = int(open("/proc/meminfo").readline().split()[1]) / 1024 / 1024
    except OSError:
        mem = 0
    return "%d cores (%s), %.0f GiB memory, %s, Python %s" % (os.cpu_count(), cpu, mem, platform.platform(),
                                                              platform.python_version())


def tool_versions():
    versions = {}
    for name, cmd in (("ripgrep", ["rg", "--version"]), ("SQLite", ["sqlite3", "--version"]),
                      ("Xapian", ["xapian-config", "--version"])):
        try:
            words = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.decode().split()
            versions[name] = "%s %s" % (name, words[{"ripgrep": 1, "SQLite": 0, "Xapian": -1}[name]])
        except (OSError, IndexError):
            versions[name] = "?"
    return versions


def write_results(path, context):
    q = context["queries"]
    info = context["info"]
    reports = context["reports"]
    stats = {e: class_stats(q, reports[e]) for e in ENGINES}
    lines = []
    add = lines.append
    add("# Benchmark results")
    add("")
    if context["synthetic"]:
        add("**Synthetic collection** (written by `quorel-bench-synth`: %s). These figures show that the "
            "pipeline works and where Quorel stands; they are not the figures of the large collection."
            % context["synthetic"])
        add("")
    add("- Date: %s" % context["date"])
    add("- Machine: %s" % machine())
    add("- Peers: %s" % "; ".join(tool_versions().values()))
    add("- Collection: `%s`, %d pages, %.1f MB of page text (UTF-8), %d characters" % (
        info["collection"], info["export"]["pages"], mb(info["export"]["text_bytes"]), context["chars"]))
    add("- Query set: %d queries, seed %d (`%s`)" % (len(q), context["seed"], os.path.relpath(context["queries_path"])))
    add("- Repetitions: %d timed passes after one warm-up pass, each engine in one process (ripgrep: one process "
        "per query, as its users run it, %d passes); a query's figure is the median of its passes, a class's "
        "median/p90/p99 are taken over its queries." % (context["reps"], max(1, context["reps"] // 2)))
    add("- Commands: `%s`" % context["command"])
    add("")
    add("## Latency per query class (warm)")
    add("")
    add("Quorel's figure, then each peer's and how many times slower the peer is (peer / Quorel).")
    add("")
    add("| class | n | Quorel median | p90 | p99 | ripgrep median | × | SQLite median | × | Xapian median | × |")
    add("|---|---|---|---|---|---|---|---|---|---|---|")
    for cls in CLASS_ORDER + ["all"]:
        mine = stats["quorel"].get(cls)
        if not mine:
            continue
        row = "| %s | %d | %s | %s | %s" % (cls, mine["n"], fmt_us(mine["median"]), fmt_us(mine["p90"]),
                                            fmt_us(mine["p99"]))
        for e in ("ripgrep", "sqlite", "xapian"):
            theirs = stats[e].get(cls, {})
            row += " | %s | %s" % (fmt_us(theirs.get("median")), fmt_ratio(mine["median"], theirs.get("median")))
        add(row + " |")
    add("")
    add("p90 and p99 per engine:")
    add("")
    add("| class | engine | median | p90 | p99 | peer/Quorel at p90 | at p99 |")
    add("|---|---|---|---|---|---|---|")
    for cls in CLASS_ORDER + ["all"]:
        mine = stats["quorel"].get(cls)
        if not mine:
            continue
        for e in ("ripgrep", "sqlite", "xapian"):
            t = stats[e].get(cls)
            if not t:
                continue
            add("| %s | %s | %s | %s | %s | %s | %s |" % (cls, e, fmt_us(t["median"]), fmt_us(t["p90"]),
                                                          fmt_us(t["p99"]), fmt_ratio(mine["p90"], t["p90"]),
                                                          fmt_ratio(mine["p99"], t["p99"])))
    add("")
    add("Wildcard classes: SQLite reads \"*\" as LIKE's \"%\" (no 300-character bound); Xapian has no "
        "one-character wildcard and runs \"?\" and \"*\" words as ordered-window queries over their "
        "characters, so its pages there differ by design. Variant queries: the peers search every variant "
        "spelling (OR), Quorel its group lists.")
    add("")
    add("## Cold cache and memory")
    add("")
    if any("cold" in reports[e] for e in ENGINES):
        add("Cold: the page cache dropped (`echo 3 > /proc/sys/vm/drop_caches`) before one pass over the whole "
            "query set; the first queries pay the reads, later ones find part of the files cached.")
        add("")
    add("| engine | peak RSS (warm run) | cold median | cold p90 | cold first query |")
    add("|---|---|---|---|---|")
    for e in ENGINES:
        r = reports[e]
        cold = r.get("cold")
        cold_stats = class_stats(q, cold)["all"] if cold else {}
        first = cold["queries"][0]["micros"][0] if cold and cold["queries"][0]["micros"] else None
        add("| %s | %.1f MiB | %s | %s | %s |" % (e, r["maxrss_kb"] / 1024, fmt_us(cold_stats.get("median")),
                                                 fmt_us(cold_stats.get("p90")), fmt_us(first)))
    if not any("cold" in reports[e] for e in ENGINES):
        add("")
        add("No cold figure: the page cache could not be dropped on this machine.")
    add("")
    add("ripgrep's figure is the largest resident set of its processes.")
    add("")
    add("## Agreement")
    add("")
    agree = agreement(q, reports)
    add("Pages found, compared as sets with Quorel's, for the classes where the semantics coincide.")
    add("")
    add("| class | peer | queries compared | disagreeing |")
    add("|---|---|---|---|")
    differ_lines = []
    for cls in CLASS_ORDER:
        for peer, entry in sorted(agree.get(cls, {}).items()):
            add("| %s | %s | %d | %d |" % (cls, peer, entry["compared"], len(entry["differ"])))
            for d in entry["differ"][:5]:
                differ_lines.append("- %s %s `%s`: Quorel %d pages, %s %d" % (cls, d["id"], d["text"], d["quorel"],
                                                                          peer, d[peer]))
    add("")
    if differ_lines:
        add("Disagreements (first five per class and peer):")
        add("")
        lines.extend(differ_lines)
    else:
        add("No disagreement.")
    add("")
    add("## Index build and size")
    add("")
    text = info["export"]["text_bytes"]
    add("| engine | what is built | time | MB of text / s | size | size / text |")
    add("|---|---|---|---|---|---|")
    qb = context["quorel_build"]
    add("| Quorel | %s | %.1f s | %.1f | full-text index %.1f MB; all three %.1f MB; store %.1f MB | %.2f; %.2f |" % (
        qb["what"], qb["seconds"], mb(text) / qb["seconds"], mb(info["quorel"]["full_text_index"]),
        mb(info["quorel"]["all_indexes"]), mb(info["quorel"]["store"]), info["quorel"]["full_text_index"] / text,
        info["quorel"]["all_indexes"] / text))
    for e, name in (("sqlite", "SQLite FTS5 trigram table"), ("xapian", "Xapian database (CJK n-grams)")):
        b = info[e]
        add("| %s | %s | %.1f s | %.2f | %.1f MB | %.2f |" % (e, name, b["build_seconds"], mb(text) / b["build_seconds"],
                                                          mb(b["bytes"]), b["bytes"] / text))
    add("")
    add("Text: the UTF-8 bytes of the pages' text cells without tags (%.1f MB), the same for every engine." % mb(text))
    add("")
    r = context["render"]
    add("## Page rendering (`CIndex::GetPageHtml`)")
    add("")
    add("| pages | n | median | p90 | median anchors |")
    add("|---|---|---|---|---|")
    add("| typical (two-character phrases) | %d | %s | %s | %.0f |" % (r["typical"]["pages"], fmt_us(r["typical"]["median_us"]),
                                                                     fmt_us(r["typical"]["p90_us"]), r["typical"]["median_anchors"]))
    add("| hit-dense (most hits of `%s`, up to %d) | %d | %s | %s | %.0f |" % (
        r["dense_query"], r["dense_max_hits"], r["dense"]["pages"], fmt_us(r["dense"]["median_us"]),
        fmt_us(r["dense"]["p90_us"]), r["dense"]["median_anchors"]))
    add("")
    add("## Reader start-up")
    add("")
    s = context.get("startup")
    add("Shown window in %.0f ms (median of %d starts, `--no-splash`, offscreen)." % (s["median_ms"], s["n"])
        if s else "Not measured: the reader cannot yet be asked to exit once its window is shown (hook "
        "`reader_startup` in bench/harness.py).")
    add("")
    scale = context.get("scale")
    if scale:
        add("## 10× collection")
        add("")
        add("The pages replicated ten times (%d pages, %.0f MB of text), the same query set; growth = 10× median / "
            "1× median." % (scale["info"]["export"]["pages"], mb(scale["info"]["export"]["text_bytes"])))
        add("")
        add("| class | Quorel 1× | Quorel 10× | growth | ripgrep growth | SQLite growth | Xapian growth |")
        add("|---|---|---|---|---|---|---|")
        big = {e: class_stats(q, scale["reports"][e]) for e in scale["engines"]}
        for cls in CLASS_ORDER + ["all"]:
            if cls not in stats["quorel"] or cls not in big["quorel"]:
                continue
            row = "| %s | %s | %s" % (cls, fmt_us(stats["quorel"][cls]["median"]), fmt_us(big["quorel"][cls]["median"]))
            for e in ENGINES:
                a, b = stats[e].get(cls, {}).get("median"), big.get(e, {}).get(cls, {}).get("median")
                row += " | %s" % ("%.1f×" % (b / a) if a and b else "–")
            add(row + " |")
        add("")
        add("10× peak RSS: " + ", ".join("%s %.0f MiB" % (e, scale["reports"][e]["maxrss_kb"] / 1024)
                                         for e in scale["engines"]))
        add("")
        line = "10× build: Quorel (%s) %.0f s, full-text index %.0f MB (%.2f× the text)" % (
            scale["quorel_build"]["what"], scale["quorel_build"]["seconds"],
            mb(scale["info"]["quorel"]["full_text_index"]),
            scale["info"]["quorel"]["full_text_index"] / scale["info"]["export"]["text_bytes"])
        for e in ("sqlite", "xapian"):
            if e in scale["info"]:
                line += "; %s %.0f s, %.0f MB" % (e, scale["info"][e]["build_seconds"], mb(scale["info"][e]["bytes"]))
        add(line + ". Engines run at 10×: %s (the others: `--scale-engines`)." % ", ".join(scale["engines"]))
        add("")
    m = context.get("micro")
    if m:
        add("## Micro-benchmarks (Google Benchmark, `quorel-bench-micro`)")
        add("")
        add("| benchmark | time per iteration | throughput | counters |")
        add("|---|---|---|---|")
        for b in m["benchmarks"]:
            unit = {"ns": 1e-3, "us": 1, "ms": 1e3}.get(b.get("time_unit", "ns"), 1)
            tp = ""
            if "bytes_per_second" in b:
                tp = "%.0f MB/s" % (b["bytes_per_second"] / 1e6)
            elif "items_per_second" in b:
                tp = "%.1f M items/s" % (b["items_per_second"] / 1e6)
            counters = ", ".join("%s %g" % (k, b[k]) for k in ("pages", "anchors") if k in b)
            add("| %s | %s | %s | %s |" % (b["name"], fmt_us(b["real_time"] * unit), tp, counters))
        add("")
    goals = goals_section(context, stats)
    lines.extend(goals)
    lines.append("Where Quorel's search spends its time, and the figures before and after its optimisation: "
                 "bench/PROFILE.md.")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


def goals_section(context, stats):
    out = ["## Goals", "", "| goal | figure | met |", "|---|---|---|"]
    mine = stats["quorel"]["all"]

    def ratio(e):
        t = stats[e].get("all", {}).get("median")
        return t / mine["median"] if t and mine["median"] else 0

    out.append("| median ≥ 100× lower than ripgrep | %.0f× | %s |" % (ratio("ripgrep"), "yes" if ratio("ripgrep") >= 100 else "no"))
    out.append("| median ≥ 5× lower than Xapian | %.1f× | %s |" % (ratio("xapian"), "yes" if ratio("xapian") >= 5 else "no"))
    behind = [c for c in CLASS_ORDER if c in stats["quorel"] and c in stats["sqlite"]
              and stats["sqlite"][c]["median"] <= stats["quorel"][c]["median"]]
    out.append("| ahead of SQLite in every class | %s | %s |" % (
        "behind in " + ", ".join(behind) if behind else "ahead in all", "no" if behind else "yes"))
    out.append("| p99 under 5 ms | %s | %s |" % (fmt_us(mine["p99"]), "yes" if mine["p99"] < 5000 else "no"))
    scale = context.get("scale")
    if scale:
        big = class_stats(context["queries"], scale["reports"]["quorel"])["all"]["median"]
        growth = big / mine["median"]
        out.append("| 10× collection: median grows ≤ 12× | %.1f× | %s |" % (growth, "yes" if growth <= 12 else "no"))
    info = context["info"]
    text = info["export"]["text_bytes"]
    speed = mb(text) / context["quorel_build"]["seconds"]
    out.append("| build ≥ 30 MB of text / s (%s) | %.1f MB/s | %s |" % (context["quorel_build"]["what"], speed,
                                                                      "yes" if speed >= 30 else "no"))
    full = info["quorel"]["full_text_index"] / text
    out.append("| full-text index ≤ text | %.2f× | %s |" % (full, "yes" if full <= 1 else "no"))
    three = info["quorel"]["all_indexes"] / text
    out.append("| all three indexes < 3× text | %.2f× | %s |" % (three, "yes" if three < 3 else "no"))
    render = context["render"]["typical"]["median_us"]
    out.append("| hit page rendered < 200 µs median | %s (dense: %s) | %s |" % (
        fmt_us(render), fmt_us(context["render"]["dense"]["median_us"]), "yes" if render < 200 else "no"))
    s = context.get("startup")
    out.append("| reader window < 1 s | %s | %s |" % ("%.0f ms" % s["median_ms"] if s else "not measured",
                                                      ("yes" if s["median_ms"] < 1000 else "no") if s else "–"))
    out.append("")
    return out


def reader_startup(bin_dir, collection):
    """Start-up time of the reader to a painted window: bin/quorel (or
    $QUOREL_READER) started with --exit-when-shown ends by itself once its
    main window is painted. None when the reader is not built or fails."""
    reader = os.environ.get("QUOREL_READER", os.path.join(bin_dir, "quorel"))
    if not os.access(reader, os.X_OK):
        return None
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    times = []
    for _ in range(5):
        start = time.perf_counter()
        done = subprocess.run([reader, "--data", collection, "--no-splash", "--exit-when-shown"], env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        if done.returncode != 0:
            return None
        times.append((time.perf_counter() - start) * 1000)
    return {"median_ms": statistics.median(times), "n": len(times)}


def measure(args):
    bench = Bench(args)
    collection = os.path.abspath(args.collection)
    info = bench.prepare(collection, "1x", ENGINES)
    queries_path = os.path.join(bench.work, "queries.json")
    sh([sys.executable, os.path.abspath(__file__), "queries", collection, os.path.join(bench.work, "1x", "corpus.tsv"),
        queries_path, "--seed", args.seed])
    queries = json.load(open(queries_path, encoding="utf-8"))["queries"]
    chars = len(Corpus(os.path.join(bench.work, "1x", "corpus.tsv")).text)
    build = json.load(open(args.quorel_build)) if args.quorel_build else None
    context = {
        "date": datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC"),
        "info": info, "queries": queries, "queries_path": queries_path, "seed": args.seed, "reps": args.reps,
        "chars": chars, "synthetic": args.synthetic, "command": args.command or " ".join(sys.argv),
        "quorel_build": build or {"what": "not timed", "seconds": float("nan")},
    }
    context["reports"] = bench.run_engines(collection, "1x", queries_path, args.reps, not args.no_cold, True, ENGINES)
    context["render"] = bench.render(collection, queries_path)
    context["startup"] = reader_startup(bench.bin, collection)
    if not args.no_micro:
        context["micro"] = bench.micro()
    if args.scale_collection:
        engines = args.scale_engines.split(",")
        scale_info = bench.prepare(os.path.abspath(args.scale_collection), "10x", engines)
        context["scale"] = {
            "info": scale_info, "engines": engines,
            "reports": bench.run_engines(os.path.abspath(args.scale_collection), "10x", queries_path,
                                         max(1, args.reps // 2), False, False, engines),
            "quorel_build": json.load(open(args.scale_build)) if args.scale_build else {"what": "?", "seconds": 0},
        }
    json.dump({k: v for k, v in context.items() if k != "queries"}, open(os.path.join(bench.work, "context.json"), "w"))
    write_results(args.results, context)
    print("wrote " + args.results)


def rewrite_results(work, results):
    """Writes the results again from a finished run's work folder."""
    context = json.load(open(os.path.join(work, "context.json")))
    context["queries"] = json.load(open(context["queries_path"], encoding="utf-8"))["queries"]
    write_results(results, context)
    print("wrote " + results)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command_name", required=True)
    g = sub.add_parser("groups")
    g.add_argument("out_dir")
    q = sub.add_parser("queries")
    q.add_argument("collection")
    q.add_argument("corpus")
    q.add_argument("out")
    q.add_argument("--seed", type=int, default=20240607)
    q.add_argument("--per-length", type=int, default=30)
    r = sub.add_parser("rg-run")
    r.add_argument("corpus")
    r.add_argument("queries")
    r.add_argument("out")
    r.add_argument("--reps", type=int, default=3)
    r.add_argument("--warmups", type=int, default=1)
    r.add_argument("--no-pages", action="store_true", help="count only, no page lists for the agreement check")
    m = sub.add_parser("measure")
    m.add_argument("--collection", required=True)
    m.add_argument("--bin", required=True)
    m.add_argument("--work", required=True)
    m.add_argument("--results", required=True)
    m.add_argument("--seed", type=int, default=20240607)
    m.add_argument("--reps", type=int, default=5)
    m.add_argument("--quorel-build", help="JSON {what, seconds} of how the collection's indexes were built")
    m.add_argument("--synthetic", help="description, when the collection is synthetic")
    m.add_argument("--scale-collection")
    m.add_argument("--scale-build")
    m.add_argument("--scale-engines", default="quorel,ripgrep",
                   help="engines run on the 10x collection (SQLite and Xapian take long to build there)")
    m.add_argument("--no-cold", action="store_true")
    m.add_argument("--no-micro", action="store_true")
    m.add_argument("--command", help="the command line to print in the results")
    w = sub.add_parser("results", help="write RESULTS.md again from a finished run")
    w.add_argument("--work", required=True)
    w.add_argument("--results", required=True)
    args = parser.parse_args()
    if args.command_name == "groups":
        make_groups(args.out_dir)
    elif args.command_name == "queries":
        build_queries(args.collection, args.corpus, args.out, args.seed, args.per_length)
    elif args.command_name == "results":
        rewrite_results(args.work, args.results)
    elif args.command_name == "rg-run":
        rg_run(args.corpus, args.queries, args.out, args.reps, args.warmups, not args.no_pages)
    else:
        measure(args)


if __name__ == "__main__":
    main()
