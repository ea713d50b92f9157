#!/usr/bin/python3
"""The window's accessibility tree as a screen reader sees it through AT-SPI: every page shown in
turn, every field listed with its name; fails when a field has no name or a name is given twice."""
import sys
import time

import pyatspi

FIELD_ROLES = {pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TABLE,
               pyatspi.ROLE_PARAGRAPH, pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_SPIN_BUTTON}


def find_app(name, tries=20):
    for _ in range(tries):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.5)
    sys.exit(f"no application {name!r} on the accessibility bus")


def walk(node, depth=0):
    yield node, depth
    if node.getRole() == pyatspi.ROLE_TABLE:  # its cells are no fields of their own
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


app = find_app(sys.argv[1] if len(sys.argv) > 1 else "shenbao")
window = app.getChildAtIndex(0)
tabs = next(n for n, _ in walk(window) if n.getRole() == pyatspi.ROLE_PAGE_TAB_LIST)
fields = {}
pages = [t for t in (tabs.getChildAtIndex(i) for i in range(tabs.childCount))
         if t is not None and t.getRole() == pyatspi.ROLE_PAGE_TAB]
for tab in pages:
    action = tab.queryAction()
    action.doAction(next(i for i in range(action.nActions) if action.getName(i) in ("press", "Press", "click")))
    time.sleep(0.4)
    caption = tab.name
    for node, _ in walk(window):
        if node.getRole() in FIELD_ROLES and showing(node):
            key = (node.getRole(), node.name, node.description, id(node))
            path = fields.setdefault(node.name, [])
            path.append((caption, node.getRoleName(), node.description))
panel = [(n.name, n.getRoleName()) for n, _ in walk(window)
         if n.getRole() in {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_LIST} and showing(n)]

unnamed = fields.get("", [])
twice = {name: where for name, where in fields.items() if name and len({w[0] for w in where}) < len(where)}
count = sum(len(w) for w in fields.values())
print(f"{count} fields on {len(pages)} pages; {len(unnamed)} without a name; {len(twice)} names given twice")
for name, where in sorted(fields.items()):
    for caption, role, description in where:
        print(f"  {caption:6} {role:10} {name!r}" + (f"  — {description[:60]!r}" if description else ""))
print("command panel:", ", ".join(f"{name} ({role})" for name, role in panel))
sys.exit(1 if unnamed or twice else 0)
