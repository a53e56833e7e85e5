#!/usr/bin/env python3
# e2e.py -- Cragmoor end to end: the built game started as a process under Xvfb, typed at
# with real X key events and judged by what its window shows and what its speakers get.
#
#   e2e.py --list                          the names of the cases
#   e2e.py --game EXE --data DIR CASE      runs one case in an Xvfb of its own
import argparse
import os
import subprocess
import sys
import tempfile
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import cases  # noqa: E402
import session  # noqa: E402

XVFB_SCREEN = "-screen 0 800x600x24"
XVFB_ATTEMPTS = 3


def run_inside(arguments):
    case = cases.CASES[arguments.case]
    artifacts = os.environ.get("E2E_ARTIFACTS")
    with tempfile.TemporaryDirectory(prefix="cragmoor-e2e-") as work_dir:
        game = session.Session(arguments.game, arguments.data, work_dir, **case.session)
        started = time.monotonic()
        try:
            case.run(game)
        except session.Failure as failure:
            print("FAILED: %s" % failure)
            saved = None
            if artifacts:
                os.makedirs(artifacts, exist_ok=True)
                saved = game.save_last_screen(os.path.join(artifacts, arguments.case + ".ppm"))
            if saved:
                print("last screenshot: %s" % saved)
            print("game output:\n%s%s" % (game.output(), game.errors()) if game.process else "")
            return 1
        except Exception:
            traceback.print_exc()
            return 1
        finally:
            game.stop()
        print("passed in %.1f s" % (time.monotonic() - started))
        return 0


def run_in_xvfb(arguments):
    # Others start Xvfb servers at the same time; xvfb-run -a picks a free display, and
    # gives up when another server took it first, so that is tried again.
    command = ["xvfb-run", "-a", "-s", XVFB_SCREEN, sys.executable, os.path.abspath(__file__),
               "--inside", "--game", arguments.game, "--data", arguments.data, arguments.case]
    for attempt in range(XVFB_ATTEMPTS):
        result = subprocess.run(command, capture_output=True, text=True)
        sys.stdout.write(result.stdout)
        sys.stdout.flush()
        if "Xvfb failed to start" not in result.stderr:
            sys.stderr.write(result.stderr)
            return result.returncode
        time.sleep(1 + attempt)
    sys.stderr.write(result.stderr)
    return 1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--inside", action="store_true")
    parser.add_argument("--game")
    parser.add_argument("--data")
    parser.add_argument("case", nargs="?")
    arguments = parser.parse_args()
    if arguments.list:
        print(";".join(cases.CASES))
        return 0
    if arguments.case not in cases.CASES:
        parser.error("unknown case %r" % arguments.case)
    arguments.game = os.path.abspath(arguments.game)
    arguments.data = os.path.abspath(arguments.data)
    if arguments.inside:
        return run_inside(arguments)
    return run_in_xvfb(arguments)


if __name__ == "__main__":
    sys.exit(main())
