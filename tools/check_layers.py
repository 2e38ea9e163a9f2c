#!/usr/bin/env python3
"""Checks that the project's libraries are layered: calls go one way only.

Reads a configured build tree (argument 2) of the source tree (argument 1):
its link graph from `cmake --graphviz` (graph.dot) and each target's source
list from CMake's file API (codemodel-v2). Fails, naming each fault, when
  - the link graph of the project's own targets has a cycle;
  - a header under src/ belongs to no target (a header belongs to the
    targets that list it and to those that build the .cpp of its name);
  - a file under src/ includes ("...") a header under src/ of a target
    that the file's own target neither is nor links, directly or through
    the targets it links;
  - a folder under src/ holds sources of two targets;
  - a target links a target whose layer comes later in the layer order:
    the folders named by KOV1_LAYERS in src/CMakeLists.txt, lowest first
    (a target's layer is the first folder of its sources' path under src/).
"""
import collections
import glob
import json
import os
import re
import sys

EDGE = re.compile(r'^\s*"node\d+" -> "node\d+".*// (\S+) -> (\S+)\s*$')
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def targets_and_sources(build):
    """{target: [source paths relative to the source tree]} from the file API."""
    reply = os.path.join(build, ".cmake", "api", "v1", "reply")
    index = sorted(glob.glob(os.path.join(reply, "index-*.json")))[-1]
    with open(index) as f:
        objects = json.load(f)["objects"]
    codemodel = next(o for o in objects if o["kind"] == "codemodel")
    with open(os.path.join(reply, codemodel["jsonFile"])) as f:
        config = json.load(f)["configurations"][0]
    sources = {}
    for t in config["targets"]:
        with open(os.path.join(reply, t["jsonFile"])) as f:
            target = json.load(f)
        sources[target["name"]] = [s["path"] for s in target.get("sources", [])]
    return sources


def link_edges(dot, own):
    edges = collections.defaultdict(set)
    with open(dot) as f:
        for line in f:
            m = EDGE.match(line)
            if m and m.group(1) in own and m.group(2) in own:
                edges[m.group(1)].add(m.group(2))
    return edges


def find_cycle(edges):
    state, stack = {}, []

    def visit(node):
        state[node] = "open"
        stack.append(node)
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == "open":
                return stack[stack.index(nxt):] + [nxt]
            if nxt not in state:
                cycle = visit(nxt)
                if cycle:
                    return cycle
        stack.pop()
        state[node] = "done"
        return None

    for node in sorted(edges):
        if node not in state:
            cycle = visit(node)
            if cycle:
                return cycle
    return None


def reachable(edges, start):
    seen, todo = {start}, [start]
    while todo:
        for nxt in edges.get(todo.pop(), ()):
            if nxt not in seen:
                seen.add(nxt)
                todo.append(nxt)
    return seen


def owners_of_files(top, sources):
    """{path under src/: set of owning targets}; faults for unowned headers."""
    owners = collections.defaultdict(set)
    for target, paths in sources.items():
        for p in paths:
            if p.startswith("src/"):
                owners[p].add(target)
    faults = []
    for header in sorted(glob.glob(os.path.join(top, "src", "**", "*.h"), recursive=True)):
        rel = os.path.relpath(header, top)
        owners[rel] |= owners.get(rel[:-2] + ".cpp", set())
        if not owners[rel]:
            faults.append(f"{rel} belongs to no target")
    return owners, faults


def resolve(top, including, name):
    for base in (os.path.dirname(including), "src"):
        rel = os.path.normpath(os.path.join(base, name))
        if rel.startswith("src/") and os.path.isfile(os.path.join(top, rel)):
            return rel
    return None


def layer_order(top):
    with open(os.path.join(top, "src", "CMakeLists.txt")) as f:
        m = re.search(r"set\(KOV1_LAYERS([^)]*)\)", f.read())
    return m.group(1).split() if m else []


def folder_faults(top, sources, edges):
    """Faults of folders with two targets and of links against the order."""
    order = layer_order(top)
    if not order:
        return ["src/CMakeLists.txt sets no KOV1_LAYERS"]
    faults, folders = [], collections.defaultdict(set)
    for target, paths in sources.items():
        for p in paths:
            if p.startswith("src/"):
                folders[os.path.dirname(p)].add(target)
    layer = {}
    for folder, targets in sorted(folders.items()):
        if len(targets) > 1:
            faults.append(f"{folder} holds sources of {len(targets)} targets: "
                          + ", ".join(sorted(targets)))
        top_folder = folder.split("/")[1]
        if top_folder not in order:
            faults.append(f"{folder} is in no layer of KOV1_LAYERS")
            continue
        for t in targets:
            layer[t] = order.index(top_folder)
    for a in sorted(edges):
        for b in sorted(edges[a]):
            if a in layer and b in layer and layer[b] > layer[a]:
                faults.append(f"{a} ({order[layer[a]]}) links {b} of the later layer "
                              f"{order[layer[b]]}")
    return faults


def main():
    top, build = sys.argv[1], sys.argv[2]
    sources = targets_and_sources(build)
    edges = link_edges(os.path.join(build, "graph.dot"), set(sources))
    faults = []
    cycle = find_cycle(edges)
    if cycle:
        faults.append("the targets link in a cycle: " + " -> ".join(cycle))
    owners, unowned = owners_of_files(top, sources)
    faults += unowned
    faults += folder_faults(top, sources, edges)
    for path in sorted(owners):
        with open(os.path.join(top, path), encoding="utf-8", errors="replace") as f:
            lines = f.readlines()
        for number, line in enumerate(lines, 1):
            m = INCLUDE.match(line)
            header = m and resolve(top, path, m.group(1))
            if not header or not owners[header]:
                continue
            for target in sorted(owners[path]):
                if not owners[header] & reachable(edges, target):
                    faults.append(f"{path}:{number}: {target} includes {header} of "
                                  f"{', '.join(sorted(owners[header]))}, which it does not link")
    for fault in faults:
        print("layers: " + fault, file=sys.stderr)
    if faults:
        return 1
    print(f"layers: {len(sources)} targets link one way, down the layer order; every include "
          "is of a linked target")
    return 0


if __name__ == "__main__":
    sys.exit(main())
