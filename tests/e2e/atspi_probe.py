"""Reads Glimmet's window through the accessibility bus, as a screen reader
does, and checks what it finds there.

Usage: atspi_probe.py PID CHECK [ARG...]

  controls ROLE=NAME...  every object in the program's window is listed with
                         its role and name; each ROLE=NAME is among them,
                         every object that takes the focus has a name and
                         every image a description
  grid NAME COLUMNS ROWS the table NAME has ROWS x COLUMNS cells
  cell NAME ROW COLUMN TEXT
                         the cell of table NAME (counted from 1) is named TEXT
  focused TEXT           the object that has the keyboard focus is named TEXT

What the program exposes follows the input that changed it a moment later,
so a check is repeated until it holds, for at most 10 s; then it prints what
it found last and exits 1. It exits 2 when the program never shows up on the
bus at all.
"""

import sys
import time

import pyatspi

DEADLINE_S = 10.0


class NotYet(Exception):
    """The check does not hold (yet); the message says what was found."""


def find_application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def descendants(node, into_tables=False):
    """The objects below node, depth first; cells only when asked for."""
    for child in node:
        if child is None:
            continue
        yield child
        if into_tables or child.getRole() != pyatspi.ROLE_TABLE:
            yield from descendants(child, into_tables)


def describe(node):
    return f"{node.getRoleName()} '{node.name}'"


def find_table(app, name):
    for node in descendants(app):
        if node.getRole() == pyatspi.ROLE_TABLE and node.name == name:
            return node
    raise NotYet(f"no table named '{name}'")


def check_controls(app, *expected):
    nodes = list(descendants(app))
    listed = {(node.getRoleName(), node.name) for node in nodes}
    problems = []
    for item in expected:
        role, _, name = item.partition("=")
        if (role, name) not in listed:
            problems.append(f"no {role} named '{name}'")
    for node in nodes:
        states = node.getState()
        if states.contains(pyatspi.STATE_FOCUSABLE) and not node.name:
            problems.append(f"a {node.getRoleName()} that takes the focus has no name")
        if node.getRole() == pyatspi.ROLE_IMAGE and not node.description:
            problems.append(f"the image '{node.name}' has no description")
    if problems:
        raise NotYet("; ".join(problems))
    return [describe(node) + (f" ({node.description})" if node.description else "")
            for node in nodes]


def check_grid(app, name, columns, rows):
    table = find_table(app, name)
    shape = table.queryTable()
    found = (shape.nColumns, shape.nRows, table.childCount)
    wanted = (int(columns), int(rows), int(columns) * int(rows))
    if found != wanted:
        raise NotYet("table '%s' is %d x %d with %d cells, expected %d x %d with %d" %
                      ((name,) + found + wanted))
    return [f"table '{name}': {columns} x {rows} cells"]


def check_cell(app, name, row, column, text):
    cell = find_table(app, name).queryTable().getAccessibleAt(int(row) - 1, int(column) - 1)
    if cell is None:
        raise NotYet(f"table '{name}' has no cell at row {row}, column {column}")
    if cell.name != text:
        raise NotYet(f"the cell at row {row}, column {column} is named '{cell.name}', "
                     f"expected '{text}'")
    return [describe(cell)]


def check_focused(app, text):
    focused = [node for node in descendants(app, into_tables=True)
               if node.getState().contains(pyatspi.STATE_FOCUSED)]
    names = [node.name for node in focused]
    # The table and its current cell may both say they are focused.
    if text not in names:
        raise NotYet(f"focused: {', '.join(map(describe, focused)) or 'nothing'}; "
                     f"expected '{text}'")
    return [f"focused: '{text}'"]


CHECKS = {
    "controls": check_controls,
    "grid": check_grid,
    "cell": check_cell,
    "focused": check_focused,
}


def main(argv):
    if len(argv) < 3 or argv[2] not in CHECKS:
        print(__doc__, file=sys.stderr)
        return 2
    pid, check, args = int(argv[1]), CHECKS[argv[2]], argv[3:]
    deadline = time.monotonic() + DEADLINE_S
    app = None
    found = "the program is not on the accessibility bus"
    while True:
        try:
            app = app or find_application(pid)
            if app is not None:
                app.clear_cache()
                for line in check(app, *args):
                    print(f"   {line}")
                return 0
        except NotYet as problem:
            found = str(problem)
        except Exception as error:  # an object went away while it was read
            found = f"{type(error).__name__}: {error}"
        if time.monotonic() >= deadline:
            break
        time.sleep(0.1)
    print(f"  {argv[2]}: {found}", file=sys.stderr)
    return 1 if app is not None else 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
