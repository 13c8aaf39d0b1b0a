"""Query sampling for the benchmark: the exported pages as one text, the fixed
query set drawn from it (seeded), and the variant groups of a synthetic
collection. Which characters the index numbers and how the variant groups read
come from quorel-bench-export, so that the sampler and the index agree."""

import bisect
import json
import os
import random
import subprocess
import unicodedata


FULLWIDTH_QUESTION = "\uFF1F"


def load_characters(path):
    """What quorel-bench-export wrote of the index: the set of code points of
    the text that have a character number, and the variant groups as the
    index reads them."""
    with open(path, encoding="utf-8") as f:
        facts = json.load(f)
    return set(facts["numbered"]), facts["groups"]


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


class Corpus:
    """The exported pages as one string (pages joined by newlines) with the
    start offset of every page."""

    def __init__(self, path, numbered=frozenset()):
        self.numbered = numbered
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

    def indexed(self, ch):
        """A character a plain phrase may hold: one with a character number
        that is a letter (ideographs, kana), not punctuation such as the
        full-width comma."""
        return ord(ch) in self.numbered and unicodedata.category(ch) == "Lo"

    def page_of(self, pos):
        return bisect.bisect_right(self.starts, pos) - 1

    def run_around(self, pos):
        """The run of indexed characters holding pos: [a, b)."""
        a = pos
        while a > 0 and self.indexed(self.text[a - 1]):
            a -= 1
        b = pos
        while b < len(self.text) and self.indexed(self.text[b]):
            b += 1
        return a, b


class QuerySampler:
    def __init__(self, corpus, groups, seed):
        self.corpus = corpus
        self.random = random.Random(seed)
        self.vocabulary = sorted({c for c in corpus.text if corpus.indexed(c)})
        self.group_of = {}
        for g, members in enumerate(groups):
            for cp in members:
                self.group_of.setdefault(cp, g)
        self.groups = groups

    def phrase_at(self, pos, length):
        """A phrase of length indexed characters holding pos, or None."""
        if pos >= len(self.corpus.text) or not self.corpus.indexed(self.corpus.text[pos]):
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


def build_queries(characters_path, corpus_path, out_path, seed, per_length):
    numbered, groups = load_characters(characters_path)
    corpus = Corpus(corpus_path, numbered)
    sampler = QuerySampler(corpus, groups, seed)
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
