"""The benchmark's report: per-class figures of every engine, the agreement of
the page sets, and bench/RESULTS.md written from them."""

import os
import platform
import statistics
import subprocess


def percentile(values, p):
    if not values:
        return None
    s = sorted(values)
    k = (len(s) - 1) * p
    lo = int(k)
    hi = min(lo + 1, len(s) - 1)
    return s[lo] + (s[hi] - s[lo]) * (k - lo)


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
    pb = context.get("quorel_pair_build")
    pairs = info["quorel"].get("pair_indexes", 0)
    if pb:
        add("| Quorel | %s | %.1f s | %.1f | pair indexes %.1f MB (full text %.1f MB); with the three scopes %.1f MB | %.2f |" % (
            pb["what"], pb["seconds"], mb(text) / pb["seconds"], mb(pairs),
            mb(info["quorel"]["full_text_pair_index"]), mb(info["quorel"]["all_indexes"] + pairs),
            (info["quorel"]["all_indexes"] + pairs) / text))
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
    if context.get("kwic"):
        lines.extend(kwic_section(context["kwic"]))
    if context.get("spaced"):
        lines.extend(spaced_section(context))
    add("## Reader start-up")
    add("")
    s = context.get("startup")
    add("Shown window in %.0f ms (median of %d starts, `--no-splash`, offscreen)." % (s["median_ms"], s["n"])
        if s else "Not measured: the reader cannot yet be asked to exit once its window is shown (hook "
        "`reader_startup` in bench/engines.py).")
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


def count_of(n, noun):
    return "%s %s%s" % (format(n, ","), noun, "" if n == 1 else "s")


def kwic_first_stats(kwic):
    """Per class (and "all"): n, median, p90 and the slowest query of the first lines, in µs."""
    stats = {}
    for cls in CLASS_ORDER + ["all"]:
        rows = [q for q in kwic["first"] if cls == "all" or q["class"] == cls]
        if rows:
            values = [q["ms"] * 1000 for q in rows]
            slowest = max(rows, key=lambda q: q["ms"])
            stats[cls] = {"n": len(rows), "median": percentile(values, 0.5), "p90": percentile(values, 0.9),
                          "max": slowest["ms"] * 1000, "slowest": slowest}
    return stats


def kwic_near(kwic):
    """The all-lines figure of the query nearest the hit count the timer aimed at."""
    marked = [q for q in kwic["all"] if not q.get("unmarked")]
    return min(marked, key=lambda q: abs(q["hits"] - kwic["near"])) if marked else None


def kwic_section(kwic):
    out = ["## Concordance lines (`CConcordance`, `quorel-cli kwic`)", ""]
    add = out.append
    add("`quorel-bench-kwic` (bench/tools/kwictimer.cpp) times, in one process and after each search and its "
        "result entries (not timed), a fresh concordance's first %d lines for every query of the set, and all the "
        "lines of the set's query nearest %s hits, of its query with the most hits and of that query with a "
        "full-width `？` added; median of %d passes after one warm-up pass. Full-text scope, the query's own "
        "variant option, context 20."
        % (kwic["first_lines"], format(kwic["near"], ","), kwic["reps"]))
    add("")
    add("| class | n | first %d lines: median | p90 | slowest |" % kwic["first_lines"])
    add("|---|---|---|---|---|")
    for cls, st in kwic_first_stats(kwic).items():
        add("| %s | %d | %s | %s | %s (`%s`, %s) |" % (cls, st["n"], fmt_us(st["median"]), fmt_us(st["p90"]),
                                                      fmt_us(st["max"]), st["slowest"]["text"],
                                                      count_of(st["slowest"]["lines"], "line")))
    add("")
    add("| query | pages | hits (search) | lines | all lines | per line |")
    add("|---|---|---|---|---|---|")
    for q in kwic["all"]:
        add("| `%s` | %s | %s | %s | %s | %s |" % (q["text"], format(q["pages"], ","), format(q["hits"], ","),
                                                 format(q["lines"], ","), fmt_us(q["ms"] * 1000),
                                                 fmt_us(q["ms"] * 1000 / q["lines"]) if q["lines"] else "–"))
    add("")
    add("Lines are the matches the hit pages mark, which is not always the search's hit count: a `*` word is "
        "marked once per stretch where the search counts every position, a word split by a tag in the page's "
        "HTML is counted but not marked, and a full-width `？` is any one character to the search but marked only "
        "where the text holds one. A result whose pages mark little is read to its end before it has 100 lines: "
        "its first lines cost what all its lines cost (the `？` row).")
    add("")
    memory = kwic.get("memory_kb")
    if memory:
        add("Peak memory of the whole `quorel-cli` process for `%s`: " % kwic["memory_query"] + ", ".join(
            "`%s` %.1f MB" % (name, kb / 1024) for name, kb in memory.items()) +
            ". In result order the lines are written as they are made, so the listing needs no more than the "
            "search; a sorted listing holds every line.")
        add("")
    return out


def kwic_goals(kwic):
    out = []
    first = kwic_first_stats(kwic).get("all")
    if first:
        out.append("| first %d concordance lines < 20 ms (slowest query of the set) | %s (`%s`) | %s |" % (
            kwic["first_lines"], fmt_us(first["max"]), first["slowest"]["text"],
            "yes" if first["max"] < 20000 else "no"))
    near = kwic_near(kwic)
    if near:
        out.append("| all lines of a query of about %s hits < 1 s | %s (`%s`, %s hits) | %s |" % (
            format(kwic["near"], ","), fmt_us(near["ms"] * 1000), near["text"], format(near["hits"], ","),
            "yes" if near["ms"] < 1000 else "no"))
    for q in kwic["all"]:
        if q.get("unmarked"):
            out.append("| first %d concordance lines < 20 ms: a word the hit pages barely mark (`%s`, all %s) | "
                       "%s | %s |" % (kwic["first_lines"], q["text"], count_of(q["lines"], "line"),
                                      fmt_us(q["ms"] * 1000), "yes" if q["ms"] < 20 else "no"))
    return out


PHRASE_CLASSES = ["phrase-2", "phrase-3", "phrase-4", "phrase-5-8"]


def spaced_stats(context):
    """Per phrase class: the exact search's median and the one that ignores punctuation."""
    exact = class_stats(context["queries"], context["reports"]["quorel"])
    spaced = class_stats(context["queries"], context["spaced"])
    return {cls: (exact[cls], spaced[cls]) for cls in PHRASE_CLASSES + ["all"] if cls in exact and cls in spaced}


def spaced_section(context):
    out = ["## Punctuation-insensitive phrases (`--ignore-punctuation`)", ""]
    out.append("The query set searched again by `quorel-bench-quorel search --ignore-punctuation` in one process "
               "(%d timed passes after a warm-up): the posting lists give the candidates, and a page's text is read "
               "only where two characters of a term do not stand side by side." % context["reps"])
    out.append("")
    out.append("| class | n | exact median | ignoring punctuation: median | p90 | p99 | × exact median |")
    out.append("|---|---|---|---|---|---|---|")
    for cls, (exact, spaced) in spaced_stats(context).items():
        out.append("| %s | %d | %s | %s | %s | %s | %.1f× |" % (
            cls, spaced["n"], fmt_us(exact["median"]), fmt_us(spaced["median"]), fmt_us(spaced["p90"]),
            fmt_us(spaced["p99"]), spaced["median"] / exact["median"] if exact["median"] else 0))
    out.append("")
    return out


def spaced_goals(context):
    out = []
    for cls, (exact, spaced) in spaced_stats(context).items():
        if cls == "all":
            continue
        times = spaced["median"] / exact["median"] if exact["median"] else 0
        out.append("| %s ignoring punctuation ≤ 3× the exact median | %.1f× (%s against %s) | %s |" % (
            cls, times, fmt_us(spaced["median"]), fmt_us(exact["median"]), "yes" if times <= 3 else "no"))
    return out


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
    if info["quorel"].get("pair_indexes"):
        withPairs = (info["quorel"]["all_indexes"] + info["quorel"]["pair_indexes"]) / text
        out.append("| all three indexes with their pair indexes < 3× text | %.2f× | %s |" % (
            withPairs, "yes" if withPairs < 3 else "no"))
    render = context["render"]["typical"]["median_us"]
    out.append("| hit page rendered < 200 µs median | %s (dense: %s) | %s |" % (
        fmt_us(render), fmt_us(context["render"]["dense"]["median_us"]), "yes" if render < 200 else "no"))
    if context.get("kwic"):
        out.extend(kwic_goals(context["kwic"]))
    if context.get("spaced"):
        out.extend(spaced_goals(context))
    s = context.get("startup")
    out.append("| reader window < 1 s | %s | %s |" % ("%.0f ms" % s["median_ms"] if s else "not measured",
                                                      ("yes" if s["median_ms"] < 1000 else "no") if s else "–"))
    out.append("")
    return out
