#!/usr/bin/env python3
"""Benchmark harness: Quorel against ripgrep, SQLite FTS5 (trigram) and Xapian
(CJK n-grams) on the same pages.

bench/run calls the subcommands in order; each can also be run by hand:
  groups OUT_DIR                 variant groups for a synthetic collection (from OpenCC)
  queries CHARACTERS CORPUS OUT  the fixed query set (seeded) drawn from the corpus, with
                                 the character facts quorel-bench-export wrote beside it
  rg-run CORPUS QUERIES OUT      ripgrep over the corpus file, one process per query
  measure ...                    everything: exports, peer indexes, runs, RESULTS.md
  results --work W --results R   RESULTS.md again from a finished run
"""

import argparse
import datetime
import json
import os
import sys

from engines import Bench, reader_startup, rg_run, sh
from report import ENGINES, write_results
from sampling import Corpus, build_queries, make_groups


def measure(args):
    bench = Bench(args)
    collection = os.path.abspath(args.collection)
    info = bench.prepare(collection, "1x", ENGINES)
    queries_path = os.path.join(bench.work, "queries.json")
    sh([sys.executable, os.path.abspath(__file__), "queries", os.path.join(bench.work, "1x", "characters.json"),
        os.path.join(bench.work, "1x", "corpus.tsv"), queries_path, "--seed", args.seed])
    queries = json.load(open(queries_path, encoding="utf-8"))["queries"]
    chars = len(Corpus(os.path.join(bench.work, "1x", "corpus.tsv")).text)
    build = json.load(open(args.quorel_build)) if args.quorel_build else None
    context = {
        "date": datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC"),
        "info": info, "queries": queries, "queries_path": queries_path, "seed": args.seed, "reps": args.reps,
        "chars": chars, "synthetic": args.synthetic, "command": args.command or " ".join(sys.argv),
        "quorel_build": build or {"what": "not timed", "seconds": float("nan")},
        "quorel_pair_build": json.load(open(args.quorel_pair_build)) if args.quorel_pair_build else None,
    }
    context["reports"] = bench.run_engines(collection, "1x", queries_path, args.reps, not args.no_cold, True, ENGINES)
    context["render"] = bench.render(collection, queries_path)
    context["kwic"] = bench.kwic(collection, queries_path)
    context["spaced"] = bench.spaced(collection, queries_path, args.reps)
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
    q.add_argument("characters", help="the character numbers and variant groups quorel-bench-export wrote")
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
    m.add_argument("--quorel-pair-build", help="the same JSON for the build that added the pair indexes")
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
        build_queries(args.characters, args.corpus, args.out, args.seed, args.per_length)
    elif args.command_name == "results":
        rewrite_results(args.work, args.results)
    elif args.command_name == "rg-run":
        rg_run(args.corpus, args.queries, args.out, args.reps, args.warmups, not args.no_pages)
    else:
        measure(args)


if __name__ == "__main__":
    main()
