"""Engine runners of the benchmark: ripgrep over the exported corpus (one
process per query), the peer indexes built and searched through their runners,
Quorel's runner, the render and micro benchmarks and the reader's start-up."""

import json
import os
import resource
import statistics
import subprocess
import sys
import time

from sampling import FULLWIDTH_QUESTION


# The benchmark's entry script: ripgrep runs through its rg-run command.
HARNESS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "harness.py")

FNV_OFFSET = 1469598103934665603
FNV_PRIME = 1099511628211
STAR_REACH = 300


def hash_pages(pages):
    """FNV-1a over the sorted pages, as the runners compute it."""
    h = FNV_OFFSET
    for page in sorted(pages):
        for shift in (0, 8, 16, 24):
            h ^= (page >> shift) & 0xFF
            h = (h * FNV_PRIME) & 0xFFFFFFFFFFFFFFFF
    return str(h)


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
    pairs = sum(size("Index%s-idx.pair" % s) for s in ("", "_content", "_desc"))
    return {"full_text_index": full, "all_indexes": scopes, "store": store, "pair_indexes": pairs,
            "full_text_pair_index": size("Index-idx.pair")}


def peak_rss_kb(cmd):
    """Runs cmd, its output discarded, and returns its peak resident memory."""
    print("+ " + " ".join(str(c) for c in cmd), file=sys.stderr, flush=True)
    child = subprocess.Popen([str(c) for c in cmd], stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        raise subprocess.CalledProcessError(child.returncode, cmd)
    return usage.ru_maxrss


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
        info["export"] = sh_json([self.tool("quorel-bench-export"), collection, corpus,
                                  os.path.join(d, "characters.json")])
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
            "ripgrep": lambda out, r, w, pages: [sys.executable, HARNESS, "rg-run", corpus, queries,
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

    def spaced(self, collection, queries, reps):
        """The query set searched with punctuation ignored."""
        out = os.path.join(self.work, "spaced.json")
        sh([self.tool("quorel-bench-quorel"), "search", collection, queries, out, "--reps", reps,
            "--ignore-punctuation"])
        return json.load(open(out))

    def kwic(self, collection, queries):
        """The concordance timer over the query set, and the peak memory of whole
        quorel-cli processes listing the lines of its largest query."""
        out = os.path.join(self.work, "kwic.json")
        sh([self.tool("quorel-bench-kwic"), collection, queries, out, "--reps", 5])
        result = json.load(open(out))
        largest = max(result["all"], key=lambda q: q["lines"])["text"]
        cli = [self.tool("quorel-cli"), "--data", collection]
        result["memory_query"] = largest
        result["memory_kb"] = {name: peak_rss_kb(cli + args + [largest]) for name, args in (
            ("search", ["search"]), ("kwic", ["kwic"]), ("kwic --limit 100", ["kwic", "--limit", "100"]),
            ("kwic --sort right", ["kwic", "--sort", "right"]))}
        return result

    def micro(self):
        out = os.path.join(self.work, "micro.json")
        sh([self.tool("quorel-bench-micro"), "--benchmark_format=json", "--benchmark_out=" + out,
            "--benchmark_out_format=json", "--benchmark_min_time=0.2"], stdout=subprocess.DEVNULL)
        return json.load(open(out))


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
