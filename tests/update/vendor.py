"""The vendor's side of a signed update, made with update-publish as a vendor
makes it: a key pair, the second test package packed by the tool (what
make_packages.sh packs into two.zip with zip), and manifests signed into the
server's /im/ folder. Used by the updater's end-to-end tests."""
import os
import subprocess

# The second package: its files and action list, as make_packages.sh has them.
TWO_FILES = {"readme.txt": "readme 3\n", "shared.txt": "shared 2\n"}
TWO_ACTIONS = "# as two.zip of make_packages.sh\nreplace \\readme.txt\ncopy shared.txt\n"


class Vendor:
    def __init__(self, tool, folder):
        self.tool, self.folder = tool, folder
        os.makedirs(folder, exist_ok=True)
        self.key = os.path.join(folder, "vendor-key.pem")
        self.public_key = os.path.join(folder, "update-key.pem")
        self.must("keygen", self.key, self.public_key)

    def run(self, *args):
        """The tool's exit code and everything it printed."""
        done = subprocess.run([self.tool, *args], capture_output=True, text=True, timeout=60)
        return done.returncode, done.stdout + done.stderr

    def must(self, *args):
        code, out = self.run(*args)
        if code != 0:
            raise RuntimeError("update-publish %s: %s" % (" ".join(args), out))
        return out

    def write(self, name, text):
        path = os.path.join(self.folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", newline="") as f:
            f.write(text)
        return path

    def package_two(self, archive):
        for name, text in TWO_FILES.items():
            self.write(os.path.join("two", name), text)
        self.must("package", os.path.join(self.folder, "two"), self.write("two-actions.txt", TWO_ACTIONS), archive)

    def publish(self, root, entries, *options):
        """Each (version, url, description) in turn, as the vendor adds them."""
        for version, url, description in entries:
            notes = self.write("notes-%s.txt" % version, description)
            self.must("publish", "--root", root, "--key", self.key, "--version", version, "--url", url,
                      "--description", notes, *options)
