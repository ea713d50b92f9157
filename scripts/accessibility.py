#!/usr/bin/python3
"""The window's accessibility tree as a screen reader sees it through AT-SPI: every page shown in
turn, every field listed with its name; fails when a field has no name, when a name is given
twice anywhere in the window, or when a field is named by its value (a filled list by its
item)."""
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
by_value = []


def values_of(node):
    """What a field holds: a text's text, a list's items."""
    values = set()
    try:
        text = node.queryText()
        values.add(text.getText(0, -1))
    except NotImplementedError:
        pass
    if node.getRole() == pyatspi.ROLE_COMBO_BOX:
        for child, _ in walk(node):
            if child.getRole() in (pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_MENU_ITEM) and child.name:
                values.add(child.name)
    values.discard("")
    return values


pages = [t for t in (tabs.getChildAtIndex(i) for i in range(tabs.childCount))
         if t is not None and t.getRole() == pyatspi.ROLE_PAGE_TAB]
for tab in pages:
    seen = set()
    action = tab.queryAction()
    action.doAction(next(i for i in range(action.nActions) if action.getName(i) in ("press", "Press", "click")))
    time.sleep(0.4)
    caption = tab.name
    for node, _ in walk(window):
        if node.getRole() in FIELD_ROLES and showing(node):
            key = (node.getRole(), node.name, node.description)
            if key in seen:
                continue  # the same control met again on this page
            seen.add(key)
            path = fields.setdefault(node.name, [])
            path.append((caption, node.getRoleName(), node.description))
            if node.name and node.name in values_of(node):
                by_value.append((caption, node.getRoleName(), node.name))
panel = [(n.name, n.getRoleName()) for n, _ in walk(window)
         if n.getRole() in {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_LIST} and showing(n)]

unnamed = fields.get("", [])
twice = {name: where for name, where in fields.items() if name and len(where) > 1}
count = sum(len(w) for w in fields.values())
print(f"{count} fields on {len(pages)} pages; {len(unnamed)} without a name; {len(twice)} names given twice; "
      f"{len(by_value)} named by their value")
for name, where in sorted(twice.items()):
    print(f"  twice: {name!r} on " + ", ".join(w[0] for w in where))
for caption, role, name in by_value:
    print(f"  named by its value: {caption} {role} {name!r}")
for name, where in sorted(fields.items()):
    for caption, role, description in where:
        print(f"  {caption:6} {role:10} {name!r}" + (f"  — {description[:60]!r}" if description else ""))
print("command panel:", ", ".join(f"{name} ({role})" for name, role in panel))
sys.exit(1 if unnamed or twice or by_value else 0)
