#!/usr/bin/env python3
"""The strength table: the searching player against the exact levels and
against itself, measured with `zemtori-analyse match`.

  strength.py run --analyse PATH [--games N] [--budgets "MS MS"]
                  [--self "MS MS"] [--self-games N] [--seed S] [--jobs J]
                  [--base PATH --base-name NAME --base-budget MS
                   --base-games N]
                  --results FILE --out-dir DIR
      plays every pairing (with --base, last the searching player against
      the searching player of another build, PATH being that build's
      zemtori-analyse driven as an engine), keeps each command with its summary line in
      FILE (one line each: the command, a tab, the summary) and each
      match's whole output (one line per game) beside FILE in
      strength-PAIRING.log, then writes the report as `report` does.

  strength.py report --results FILE --out-dir DIR
      writes DIR/strength.md (the table) and DIR/strength.svg (one bar per
      pairing, its 95% interval as a whisker) from FILE.

  strength.py ladder --analyse PATH [--games N] [--seed S] [--jobs J]
                     --results FILE --out-dir DIR [--readme PATH]
      plays the ladder of levels: LEVEL4 against LEVEL1, LEVEL2 and
      LEVEL3 (which places the exact levels against each other), then each
      searching level against the one below it up to LEVEL9; keeps each
      command, its summary and its games at the move limit in FILE (the
      command, a tab, the summary, a tab, "limit N"), each match's output
      beside FILE in ladder-PAIRING.log, then writes the report as
      `ladder-report` does.

  strength.py ladder-report --results FILE --out-dir DIR [--readme PATH]
      writes the ladder's table (each step: W-D-L, score, interval, Elo,
      games at the move limit) and the table of every level's Elo relative
      to LEVEL1 into DIR/strength.md between its ladder marks (the rest of
      the file is left as it is), the chart of the levels' Elo with their
      intervals into DIR/ladder.svg, and the same tables between the
      ladder marks of PATH (the README).

Only Python's standard library is used; the chart is written as plain SVG
text.
"""

import argparse
import html
import os
import re
import subprocess
import sys

LEVELS = ("level1", "level2", "level3")

SUMMARY = re.compile(
    r"^summary: (?P<a>\S+) vs (?P<b>\S+): (?P<w>\d+)-(?P<d>\d+)-(?P<l>\d+) "
    r"score (?P<p>[\d.]+)% \[(?P<lo>[\d.]+)%, (?P<hi>[\d.]+)%\] "
    r"elo (?P<elo>-?(?:\d+|inf)) \[(?P<elo_lo>-?(?:\d+|inf)), (?P<elo_hi>-?(?:\d+|inf))\]$"
)


class ReportError(Exception):
    pass


def pairings(budgets, self_pair, base=None, base_budget=300):
    """The match arguments of every pairing, in the table's order: each
    budget against each level, then the searching player against itself,
    then against the base build's."""
    out = []
    for ms in budgets:
        for level in LEVELS:
            out.append(["search", level, "--movetime", str(ms)])
    if self_pair:
        out.append(["search:%d" % self_pair[0], "search:%d" % self_pair[1]])
    if base:
        out.append(["search", "engine:" + base, "--movetime", str(base_budget)])
    return out


def parse_summary(line):
    m = SUMMARY.match(line.strip())
    if not m:
        raise ReportError("not a summary line: %r" % line)
    r = m.groupdict()
    for k in ("w", "d", "l"):
        r[k] = int(r[k])
    for k in ("p", "lo", "hi"):
        r[k] = float(r[k])
        if not 0.0 <= r[k] <= 100.0:
            raise ReportError("a share outside 0..100%%: %r" % line)
    if not r["lo"] <= r["p"] <= r["hi"]:
        raise ReportError("the score lies outside its interval: %r" % line)
    r["games"] = r["w"] + r["d"] + r["l"]
    return r


def label(command, summary):
    """The pairing as the table names it: a searching player's budget is
    part of its name."""
    words = command.split()
    budget = None
    for i, w in enumerate(words[:-1]):
        if w == "--movetime":
            budget = "%s ms" % words[i + 1]
        elif w == "--nodes":
            budget = "%s nodes" % words[i + 1]

    def player(name):
        if name == "search":
            return "search (%s)" % budget if budget else "search (100 ms)"
        if name.startswith("search:"):
            return "search (%s ms)" % name[7:]
        if name.startswith("engine:"):
            # Another build's searching player; the command says which.
            return "base build (%s)" % budget if budget else "base build"
        return name

    return "%s vs %s" % (player(summary["a"]), player(summary["b"]))


def result_lines(path):
    """The lines of a results file that are not blank, with their numbers."""
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if line.strip():
                yield n, line


def read_results(path):
    rows = []
    for n, line in result_lines(path):
        if "\t" not in line:
            raise ReportError("%s:%d: no tab between the command and the summary" % (path, n))
        command, summary = line.split("\t", 1)
        s = parse_summary(summary)
        s["command"] = command
        s["label"] = label(command, s)
        rows.append(s)
    if not rows:
        raise ReportError("%s holds no results" % path)
    return rows


def elo_text(e):
    return {"inf": "+∞", "-inf": "−∞"}.get(e, e.replace("-", "−"))


def table(rows):
    lines = [
        "| pairing | games | W-D-L | score [95% interval] | Elo [95% interval] | command |",
        "|---|---:|---:|---:|---:|---|",
    ]
    for r in rows:
        lines.append(
            "| %s | %d | %d-%d-%d | %.1f%% [%.1f%%, %.1f%%] | %s [%s, %s] | `%s` |"
            % (r["label"], r["games"], r["w"], r["d"], r["l"], r["p"], r["lo"], r["hi"],
               elo_text(r["elo"]), elo_text(r["elo_lo"]), elo_text(r["elo_hi"]), r["command"])
        )
    return "\n".join(lines) + "\n"


def markdown(rows):
    return (
        "# Strength of the searching player\n\n"
        "Made by `make strength` (tools/strength/strength.py): each line is one\n"
        "`zemtori-analyse match`, scored from the first player's side (a draw counts\n"
        "half; the interval is the 95% Wilson interval of the score, the Elo figures\n"
        "are those of the score and of the interval's ends). The exact levels always\n"
        "play the upper side; the first player moves first in odd-numbered games.\n"
        "`make strength` plays 200 games a pairing, the searching player at 100 and\n"
        "300 ms a move against each level and at 1000 ms against itself at 100 ms;\n"
        "STRENGTH_GAMES, STRENGTH_SELF_GAMES (the pairing against itself),\n"
        "STRENGTH_BUDGETS, STRENGTH_SELF, STRENGTH_SEED and STRENGTH_JOBS change\n"
        "that. The last line, where there is one, is the searching player against\n"
        "that of an earlier build (STRENGTH_BASE_COMMIT, built beside the build\n"
        "folder and driven as an engine), STRENGTH_BASE_GAMES games at\n"
        "STRENGTH_BASE_BUDGET ms a move. The table shows what was played: the games and\n"
        "the command of each line. Budgets are wall-clock time, so a busy machine\n"
        "plays weaker and the figures vary a little from run to run.\n\n"
        + table(rows)
        + "\n![The score of each pairing with its 95% interval](strength.svg)\n"
    )


# The chart's geometry, in SVG user units.
LABEL_W = 270
PLOT_W = 400
ROW_H = 30
TOP = 40
BOTTOM = 36
BAR_H = 16


def svg_start(width, height, title):
    """A chart's first lines: the picture, its white ground and its title."""
    return [
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d" '
        'font-family="sans-serif" font-size="12">' % (width, height, width, height),
        '<rect x="0" y="0" width="%d" height="%d" fill="#ffffff"/>' % (width, height),
        '<text x="10" y="22" font-size="14" font-weight="bold">%s</text>' % title,
    ]


def x_of(percent):
    return LABEL_W + PLOT_W * percent / 100.0


def svg(rows):
    width = LABEL_W + PLOT_W + 40
    height = TOP + ROW_H * len(rows) + BOTTOM
    bottom = TOP + ROW_H * len(rows)
    out = svg_start(width, height, "Score from the first player's side, with its 95% interval")
    for tick in range(0, 101, 25):
        x = x_of(tick)
        dash = ' stroke-dasharray="4 3"' if tick == 50 else ""
        colour = "#888888" if tick == 50 else "#dddddd"
        out.append('<line class="grid" x1="%.1f" y1="%d" x2="%.1f" y2="%d" stroke="%s"%s/>'
                   % (x, TOP - 6, x, bottom, colour, dash))
        out.append('<text x="%.1f" y="%d" text-anchor="middle">%d%%</text>' % (x, bottom + 16, tick))
    for i, r in enumerate(rows):
        y = TOP + ROW_H * i
        mid = y + ROW_H / 2.0
        name = html.escape(r["label"])
        out.append('<g class="pairing" data-score="%.1f" data-low="%.1f" data-high="%.1f">'
                   % (r["p"], r["lo"], r["hi"]))
        out.append('<title>%s: %d-%d-%d, %.1f%% [%.1f%%, %.1f%%]</title>'
                   % (name, r["w"], r["d"], r["l"], r["p"], r["lo"], r["hi"]))
        out.append('<text x="%d" y="%.1f" text-anchor="end" dominant-baseline="middle">%s</text>'
                   % (LABEL_W - 8, mid, name))
        out.append('<rect class="bar" x="%.1f" y="%.1f" width="%.1f" height="%d" fill="#4f7cac"/>'
                   % (x_of(0), mid - BAR_H / 2.0, x_of(r["p"]) - x_of(0), BAR_H))
        lo, hi = x_of(r["lo"]), x_of(r["hi"])
        out.append('<path class="whisker" d="M%.1f %.1fH%.1fM%.1f %.1fV%.1fM%.1f %.1fV%.1f" '
                   'stroke="#222222" stroke-width="1.5" fill="none"/>'
                   % (lo, mid, hi, lo, mid - 5, mid + 5, hi, mid - 5, mid + 5))
        out.append('</g>')
    out.append('</svg>')
    return "\n".join(out) + "\n"


def write_report(rows, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    path = os.path.join(out_dir, "strength.md")
    # The ladder's section, written by `ladder`, stays.
    ladder = ""
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            old = f.read()
        start, end = old.find(LADDER_START), old.find(LADDER_END)
        if start >= 0 and end > start:
            ladder = "\n## The ladder of levels\n\n" + old[start:end + len(LADDER_END)] + "\n"
    with open(path, "w", encoding="utf-8") as f:
        f.write(markdown(rows) + ladder)
    with open(os.path.join(out_dir, "strength.svg"), "w", encoding="utf-8") as f:
        f.write(svg(rows))


def run_matches(args):
    budgets = [int(b) for b in args.budgets.split()]
    self_pair = [int(b) for b in args.self_pair.split()]
    if len(self_pair) not in (0, 2):
        raise ReportError("--self takes two budgets in milliseconds")
    tool = os.path.basename(args.analyse)
    folder = os.path.dirname(os.path.abspath(args.results))
    os.makedirs(folder, exist_ok=True)
    lines = []
    if args.base and not os.access(args.base, os.X_OK):
        raise ReportError("the base build %s is not a program" % args.base)
    for pairing in pairings(budgets, self_pair, args.base, args.base_budget):
        # Games between two searching players last longer: they may be fewer.
        games = args.self_games if pairing[0].startswith("search:") and args.self_games else args.games
        if pairing[1].startswith("engine:") and args.base_games:
            games = args.base_games
        match_args = ["match"] + pairing + ["--games", str(games), "--seed", str(args.seed),
                                            "--jobs", str(args.jobs)]
        shown = " ".join([tool] + match_args)
        print(shown, flush=True)
        done = subprocess.run([args.analyse] + match_args, stdout=subprocess.PIPE, text=True)
        if done.returncode != 0:
            raise ReportError("%s failed with %d" % (shown, done.returncode))
        names = ["base" if w.startswith("engine:") else w for w in pairing]
        log = "strength-" + "_".join(w.lstrip("-").replace(":", "") for w in names) + ".log"
        with open(os.path.join(folder, log), "w", encoding="utf-8") as f:
            f.write(done.stdout)
        summaries = [l for l in done.stdout.splitlines() if l.startswith("summary: ")]
        if not summaries:
            raise ReportError("%s printed no summary" % shown)
        print(summaries[-1], flush=True)
        parse_summary(summaries[-1])
        if args.base and args.base_name:
            shown = shown.replace("engine:" + args.base, "engine:" + args.base_name)
        lines.append(shown + "\t" + summaries[-1])
    with open(args.results, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


# The ladder of levels.  The exact levels cannot meet each other (each
# plays the upper side), so LEVEL4 meets all three and places them; every
# searching level above meets the one below it.
LADDER_TOP = 9
LADDER_START = "<!-- ladder: made by make strength -->"
LADDER_END = "<!-- /ladder -->"


def ladder_pairings():
    out = [["level4", "level1"], ["level4", "level2"], ["level4", "level3"]]
    for n in range(5, LADDER_TOP + 1):
        out.append(["level%d" % n, "level%d" % (n - 1)])
    return out


def read_ladder(path):
    rows = []
    for n, line in result_lines(path):
        parts = line.split("\t")
        if len(parts) != 3 or not re.match(r"^limit \d+$", parts[2]):
            raise ReportError("%s:%d: not a command, a summary and \"limit N\" between tabs" % (path, n))
        s = parse_summary(parts[1])
        s["command"] = parts[0]
        s["limit"] = int(parts[2].split()[1])
        if s["limit"] > s["d"]:
            raise ReportError("%s:%d: more games at the limit than draws" % (path, n))
        rows.append(s)
    pairs = [[r["a"], r["b"]] for r in rows]
    if pairs != ladder_pairings():
        raise ReportError("%s does not hold the ladder's pairings in order" % path)
    return rows


def elo_value(text):
    return {"inf": float("inf"), "-inf": float("-inf")}.get(text, None) if text in ("inf", "-inf") else float(text)


def level_elos(rows):
    """Every level's Elo relative to LEVEL1 with the low and high ends of
    its interval, from the steps: LEVEL4's is its score against LEVEL1,
    LEVEL2's and LEVEL3's that less LEVEL4's against them, each level above
    LEVEL4's plus the steps below it.  The steps are separate matches, so
    the interval's distances add in quadrature."""
    def step(r):
        e = elo_value(r["elo"])
        return e, e - elo_value(r["elo_lo"]), elo_value(r["elo_hi"]) - e

    def combine(parts):
        # parts: (sign, step); a negative sign swaps the step's two sides.
        e = sum(sign * st[0] for sign, st in parts)
        lo = sum((st[1] if sign > 0 else st[2]) ** 2 for sign, st in parts) ** 0.5
        hi = sum((st[2] if sign > 0 else st[1]) ** 2 for sign, st in parts) ** 0.5
        return e, e - lo, e + hi

    steps = [step(r) for r in rows]
    out = {1: (0.0, 0.0, 0.0)}
    out[2] = combine([(1, steps[0]), (-1, steps[1])])
    out[3] = combine([(1, steps[0]), (-1, steps[2])])
    chain = [(1, steps[0])]
    out[4] = combine(chain)
    for n in range(5, LADDER_TOP + 1):
        chain.append((1, steps[n - 2]))
        out[n] = combine(chain)
    return out


def elo_number(v):
    if v == float("inf"):
        return "+∞"
    if v == float("-inf"):
        return "−∞"
    return ("%+.0f" % v).replace("-", "−") if round(v) != 0 else "0"


def ladder_tables(rows):
    lines = [
        "| step | games | W-D-L | score [95% interval] | Elo [95% interval] | at the move limit |",
        "|---|---:|---:|---:|---:|---:|",
    ]
    for r in rows:
        lines.append(
            "| %s vs %s | %d | %d-%d-%d | %.1f%% [%.1f%%, %.1f%%] | %s [%s, %s] | %d (%.1f%%) |"
            % (r["a"].upper(), r["b"].upper(), r["games"], r["w"], r["d"], r["l"], r["p"], r["lo"], r["hi"],
               elo_text(r["elo"]), elo_text(r["elo_lo"]), elo_text(r["elo_hi"]), r["limit"],
               100.0 * r["limit"] / r["games"])
        )
    lines += ["", "| level | Elo against LEVEL1 [95% interval] |", "|---|---:|"]
    for n, (e, lo, hi) in sorted(level_elos(rows).items()):
        lines.append("| LEVEL%d | %s [%s, %s] |" % (n, elo_number(e), elo_number(lo), elo_number(hi))
                     if n > 1 else "| LEVEL1 | 0 |")
    return "\n".join(lines) + "\n"


def ladder_section(rows, chart):
    commands = sorted({re.sub(r"^\S+ match \S+ \S+ ", "", r["command"]) for r in rows})
    return (
        LADDER_START + "\n"
        "Each step is one `zemtori-analyse match` of a level against the one below\n"
        "it (" + "; ".join("`%s`" % c for c in commands) + "), scored from the\n"
        "higher level's side; a draw is a game still open after 300 plies, and the\n"
        "last column counts them. LEVEL4 also meets LEVEL1 and LEVEL2, which places\n"
        "the exact levels. A level's Elo against LEVEL1 is the sum of the steps below\n"
        "it, its interval the steps' intervals added in quadrature.\n\n"
        + ladder_tables(rows)
        + "\n![Every level's Elo against LEVEL1 with its 95%% interval](%s)\n" % chart
        + LADDER_END + "\n"
    )


def put_section(path, section, title=None):
    """Writes `section` between the ladder marks of the file at `path`,
    replacing what stood there, or appends it (under `title`) when the
    file has no marks yet."""
    text = ""
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            text = f.read()
    start, end = text.find(LADDER_START), text.find(LADDER_END)
    if start >= 0 and end > start:
        text = text[:start] + section + text[end + len(LADDER_END) + 1:]
    else:
        if text and not text.endswith("\n"):
            text += "\n"
        text += ("\n" if text else "") + ("%s\n\n" % title if title else "") + section
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


# The ladder chart's geometry.
L_LABEL_W = 80
L_PLOT_W = 520
L_ROW_H = 28
L_TOP = 40
L_BOTTOM = 40


def ladder_svg(rows):
    elos = level_elos(rows)
    finite = [v for e in elos.values() for v in e if abs(v) != float("inf")]
    low = min(0.0, min(finite))
    high = max(finite + [100.0])
    step = 100 if high - low <= 1200 else 200
    low = step * int((low - step + 1) // step) if low < 0 else 0
    high = step * int((high + step - 1) // step)

    def x_of(v):
        v = max(low, min(high, v))
        return L_LABEL_W + L_PLOT_W * (v - low) / float(high - low)

    width = L_LABEL_W + L_PLOT_W + 40
    height = L_TOP + L_ROW_H * len(elos) + L_BOTTOM
    bottom = L_TOP + L_ROW_H * len(elos)
    out = svg_start(width, height, "Elo against LEVEL1, with its 95% interval")
    for tick in range(int(low), int(high) + 1, step):
        x = x_of(tick)
        colour = "#888888" if tick == 0 else "#dddddd"
        out.append('<line class="grid" x1="%.1f" y1="%d" x2="%.1f" y2="%d" stroke="%s"/>'
                   % (x, L_TOP - 6, x, bottom, colour))
        out.append('<text x="%.1f" y="%d" text-anchor="middle">%d</text>' % (x, bottom + 16, tick))
    for i, (n, (e, lo, hi)) in enumerate(sorted(elos.items())):
        mid = L_TOP + L_ROW_H * i + L_ROW_H / 2.0
        out.append('<g class="level" data-level="%d" data-elo="%.1f" data-low="%.1f" data-high="%.1f">'
                   % (n, e, lo, hi))
        out.append('<title>LEVEL%d: %s [%s, %s]</title>' % (n, elo_number(e), elo_number(lo), elo_number(hi)))
        out.append('<text x="%d" y="%.1f" text-anchor="end" dominant-baseline="middle">LEVEL%d</text>'
                   % (L_LABEL_W - 8, mid, n))
        a, b = x_of(lo), x_of(hi)
        out.append('<path class="whisker" d="M%.1f %.1fH%.1fM%.1f %.1fV%.1fM%.1f %.1fV%.1f" '
                   'stroke="#222222" stroke-width="1.5" fill="none"/>'
                   % (a, mid, b, a, mid - 5, mid + 5, b, mid - 5, mid + 5))
        out.append('<circle class="dot" cx="%.1f" cy="%.1f" r="5" fill="#4f7cac"/>' % (x_of(e), mid))
        out.append('</g>')
    out.append('</svg>')
    return "\n".join(out) + "\n"


def write_ladder(rows, out_dir, readme):
    os.makedirs(out_dir, exist_ok=True)
    with open(os.path.join(out_dir, "ladder.svg"), "w", encoding="utf-8") as f:
        f.write(ladder_svg(rows))
    put_section(os.path.join(out_dir, "strength.md"), ladder_section(rows, "ladder.svg"), "## The ladder of levels")
    if readme:
        rel = os.path.relpath(os.path.join(out_dir, "ladder.svg"), os.path.dirname(os.path.abspath(readme)))
        put_section(readme, ladder_section(rows, rel), "## The ladder of levels")


def run_ladder(args):
    tool = os.path.basename(args.analyse)
    folder = os.path.dirname(os.path.abspath(args.results))
    os.makedirs(folder, exist_ok=True)
    lines = []
    for pairing in ladder_pairings():
        match_args = ["match"] + pairing + ["--games", str(args.games), "--seed", str(args.seed),
                                            "--jobs", str(args.jobs)]
        shown = " ".join([tool] + match_args)
        print(shown, flush=True)
        done = subprocess.run([args.analyse] + match_args, stdout=subprocess.PIPE, text=True)
        if done.returncode != 0:
            raise ReportError("%s failed with %d" % (shown, done.returncode))
        with open(os.path.join(folder, "ladder-%s.log" % "_".join(pairing)), "w", encoding="utf-8") as f:
            f.write(done.stdout)
        summaries = [l for l in done.stdout.splitlines() if l.startswith("summary: ")]
        if not summaries:
            raise ReportError("%s printed no summary" % shown)
        limit = sum(1 for l in done.stdout.splitlines() if l.startswith("game ") and " how limit " in l)
        print(summaries[-1], "limit", limit, flush=True)
        parse_summary(summaries[-1])
        lines.append("%s\t%s\tlimit %d" % (shown, summaries[-1], limit))
    with open(args.results, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


def main(argv):
    p = argparse.ArgumentParser(description="The searching player's strength table and chart.")
    sub = p.add_subparsers(dest="what", required=True)
    run = sub.add_parser("run")
    run.add_argument("--analyse", required=True)
    run.add_argument("--games", type=int, default=200)
    run.add_argument("--budgets", default="100 300")
    run.add_argument("--self", dest="self_pair", default="1000 100")
    run.add_argument("--self-games", type=int, default=0)
    run.add_argument("--seed", type=int, default=1)
    run.add_argument("--jobs", type=int, default=1)
    run.add_argument("--base", default="")
    run.add_argument("--base-name", default="")
    run.add_argument("--base-budget", type=int, default=300)
    run.add_argument("--base-games", type=int, default=0)
    run.add_argument("--results", required=True)
    run.add_argument("--out-dir", required=True)
    rep = sub.add_parser("report")
    rep.add_argument("--results", required=True)
    rep.add_argument("--out-dir", required=True)
    lad = sub.add_parser("ladder")
    lad.add_argument("--analyse", required=True)
    lad.add_argument("--games", type=int, default=200)
    lad.add_argument("--seed", type=int, default=1)
    lad.add_argument("--jobs", type=int, default=1)
    lad.add_argument("--results", required=True)
    lad.add_argument("--out-dir", required=True)
    lad.add_argument("--readme", default="")
    lrep = sub.add_parser("ladder-report")
    lrep.add_argument("--results", required=True)
    lrep.add_argument("--out-dir", required=True)
    lrep.add_argument("--readme", default="")
    args = p.parse_args(argv)
    try:
        if args.what in ("ladder", "ladder-report"):
            if args.what == "ladder":
                run_ladder(args)
            write_ladder(read_ladder(args.results), args.out_dir, args.readme)
            return 0
        if args.what == "run":
            run_matches(args)
        write_report(read_results(args.results), args.out_dir)
    except (ReportError, OSError, ValueError) as e:
        print("strength: %s" % e, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
