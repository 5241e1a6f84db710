"""The package step of tools/setup, run against stand-ins of dpkg-query, apt-get, id and sudo.

The stand-ins behave as Debian's tools do where it matters: dpkg-query prints the status of the
packages it knows and exits 1 as soon as one of the asked-for packages is unknown or not installed.

Run: python3 -m unittest discover -s tools/tests
"""

import os
import re
import shutil
import stat
import subprocess
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SETUP = os.path.join(ROOT, "tools", "setup")

# The only programs the package step may find besides the stand-ins.
NEEDED = ["dirname", "mkdir", "flock", "awk", "cat", "env", "id", "grep"]

DPKG_QUERY = r"""#!/bin/sh
# Prints "ii <name>" for each installed package asked for, like -f '${db:Status-Abbrev} ${Package}\n'.
shift 2
status=0
for p in "$@"; do
  if grep -qx "$p" "$STANDIN_DIR/installed"; then printf 'ii  %s\n' "$p"
  else echo "dpkg-query: no packages found matching $p" >&2; status=1
  fi
done
exit $status
"""

APT_GET = r"""#!/bin/sh
echo "$*" >>"$STANDIN_DIR/apt.log"
case " $* " in
  *" update "*) [ ! -e "$STANDIN_DIR/offline" ] && exit 0
     echo "E: Failed to fetch http://deb.debian.org/debian/dists/bookworm/InRelease  Could not resolve 'deb.debian.org'" >&2
     exit 100 ;;
  *" install "*) [ ! -e "$STANDIN_DIR/install-fails" ] && exit 0
     echo "E: Unable to fetch some archives" >&2
     exit 100 ;;
esac
exit 0
"""

ID_USER = """#!/bin/sh
echo 1000
"""

SUDO = r"""#!/bin/sh
echo "$*" >>"$STANDIN_DIR/sudo.log"
exec "$@"
"""


def setup_packages():
    text = open(SETUP, encoding="utf-8").read()
    body = re.search(r"^PACKAGES=\((.*?)^\)", text, re.S | re.M).group(1)
    return body.split()


class PackageStep(unittest.TestCase):
    def setUp(self):
        # A space in the path, as a user's home folder may have.
        self.dir = tempfile.mkdtemp(prefix="setup test ")
        self.addCleanup(shutil.rmtree, self.dir)
        self.bin = os.path.join(self.dir, "bin")
        os.mkdir(self.bin)
        for tool in NEEDED:
            os.symlink(shutil.which(tool), os.path.join(self.bin, tool))
        self.standin("dpkg-query", DPKG_QUERY)
        self.standin("apt-get", APT_GET)
        self.packages = setup_packages()

    def standin(self, name, text):
        path = os.path.join(self.bin, name)
        if os.path.lexists(path):
            os.remove(path)  # a link to the real tool: writing through it would replace the tool
        with open(path, "w") as f:
            f.write(text)
        os.chmod(path, os.stat(path).st_mode | stat.S_IXUSR)

    def installed(self, packages):
        with open(os.path.join(self.dir, "installed"), "w") as f:
            f.write("".join(p + "\n" for p in packages))

    def flag(self, name):
        open(os.path.join(self.dir, name), "w").close()

    def log(self, name):
        path = os.path.join(self.dir, name)
        if not os.path.exists(path):
            return []
        with open(path) as f:
            return f.read().splitlines()

    def run_step(self):
        env = {"PATH": self.bin, "STANDIN_DIR": self.dir,
               "BREVIN_BUILD": os.path.join(self.dir, "build tree")}
        return subprocess.run(["/bin/bash", SETUP, "packages"], env=env, capture_output=True,
                              text=True, timeout=60)

    def test_installs_exactly_the_missing_packages_after_an_update(self):
        self.installed(p for p in self.packages if p not in ("wine64", "lame", "xvfb"))
        result = self.run_step()
        self.assertEqual(result.returncode, 0, result.stderr)
        calls = self.log("apt.log")
        self.assertEqual(len(calls), 2, calls)
        self.assertIn("update", calls[0].split())
        install = calls[1].split()
        self.assertIn("install", install)
        self.assertEqual([p for p in install if not p.startswith("-") and p != "install"],
                         ["wine64", "xvfb", "lame"])

    def test_nothing_missing_runs_no_apt_at_all(self):
        self.installed(self.packages)
        result = self.run_step()
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.log("apt.log"), [])

    def test_a_bare_machine_gets_every_package(self):
        self.installed([])
        result = self.run_step()
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.log("apt.log")[1].split()[-len(self.packages):], self.packages)

    def test_failures_say_what_failed_and_what_to_do(self):
        self.installed(p for p in self.packages if p != "lame")
        self.flag("install-fails")
        result = self.run_step()
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("apt-get install failed for: lame", result.stderr)
        self.assertIn("run tools/setup again", result.stderr)

        os.remove(os.path.join(self.dir, "apt.log"))
        self.flag("offline")
        result = self.run_step()
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("apt-get update failed", result.stderr)
        self.assertIn("network", result.stderr)
        self.assertEqual(len(self.log("apt.log")), 1, "no install after a failed update")

    def test_a_user_installs_through_sudo_or_is_told_how(self):
        self.installed(p for p in self.packages if p != "sox")
        self.standin("id", ID_USER)
        result = self.run_step()
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("sudo is not installed", result.stderr)
        self.assertIn("apt-get install sox", result.stderr)
        self.assertEqual(self.log("apt.log"), [])

        self.standin("sudo", SUDO)
        result = self.run_step()
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual([line.split()[0] for line in self.log("sudo.log")], ["apt-get", "apt-get"])
        self.assertEqual(self.log("apt.log")[1].split()[-1], "sox")


class UnforeseenFailure(unittest.TestCase):
    def test_names_the_command_that_failed(self):
        with tempfile.TemporaryDirectory(prefix="setup test ") as build:
            # A file where the step's folder should go.
            open(os.path.join(build, "home"), "w").close()
            result = subprocess.run(["/bin/bash", SETUP, "home"], env=dict(os.environ, BREVIN_BUILD=build),
                                    capture_output=True, text=True, timeout=60)
        self.assertNotEqual(result.returncode, 0)
        self.assertRegex(result.stderr, r"tools/setup stopped: 'mkdir -p .*home\"?' failed")
        self.assertIn("run tools/setup again", result.stderr)


if __name__ == "__main__":
    unittest.main()
