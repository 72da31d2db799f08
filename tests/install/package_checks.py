#!/usr/bin/env python3
"""Checks of the installed program and of its Debian package, one per CTest test.

    package_checks.py --source S --build B --stage D --version V --app-id ID CHECK

B is the release build that `scripts/build-package` made (its .deb included),
D the folder the `Stage` check installs it into with DESTDIR. The installed layout is
read from D/usr. Each check prints what it finds wrong and exits 1.
"""

import argparse
import ctypes
import gzip
import io
import os
import select
import shutil
import signal
import stat
import struct
import subprocess
import sys
import tarfile
import tempfile
import time
import xml.etree.ElementTree as ElementTree
from pathlib import Path

PREFIX = "usr"
DATA_DIR = f"{PREFIX}/share/quillor/Data"
DOC_DIR = f"{PREFIX}/share/doc/quillor"
# The files the program reads from ./Data (the address only while the user has
# none of their own).
CATALOGUE = "BaseDeDonneeArticles.db"
SETTINGS = "Versions.ini"
ADDRESS = "AdressePharmacie.txt"
# How long a started program may take to read its data before a check gives
# up on it. A deadline for a failure, not a measure: a working program reads
# everything in a fraction of a second.
START_DEADLINE_S = 60


class CheckFailed(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise CheckFailed(message)


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, **kwargs)


class Layout:
    def __init__(self, options):
        self.source = Path(options.source)
        self.build = Path(options.build)
        self.stage = Path(options.stage)
        self.version = options.version
        self.app_id = options.app_id

    def staged(self, relative):
        return self.stage / relative

    def bundled_data_files(self):
        """The data/ files the program is given: all but the folder's README."""
        return sorted(p.name for p in (self.source / "data").iterdir() if p.is_file() and p.name != "README.md")

    def expected_files(self):
        files = {
            f"{PREFIX}/bin/quillor",
            f"{PREFIX}/bin/quillor-catalogue",
            f"{PREFIX}/share/applications/{self.app_id}.desktop",
            f"{PREFIX}/share/icons/hicolor/scalable/apps/{self.app_id}.svg",
            f"{PREFIX}/share/metainfo/{self.app_id}.metainfo.xml",
            f"{DOC_DIR}/README.md",
            f"{DOC_DIR}/README.Data.md",
            f"{DOC_DIR}/copyright",
            f"{DOC_DIR}/changelog.gz",
            f"{PREFIX}/share/man/man1/quillor.1.gz",
            f"{PREFIX}/share/man/man1/quillor-catalogue.1.gz",
        }
        files.update(f"{DATA_DIR}/{name}" for name in self.bundled_data_files())
        return files

    def deb(self):
        debs = sorted(self.build.glob("quillor_*.deb"))
        expect(len(debs) == 1, f"expected one quillor_*.deb in {self.build}, found {[d.name for d in debs]}")
        return debs[0]


def staged_files(stage):
    return {str(p.relative_to(stage)) for p in stage.rglob("*") if p.is_file() or p.is_symlink()}


def read_desktop_entry(path):
    entry = {}
    section = None
    for line in path.read_text(encoding="utf-8").splitlines():
        if line.startswith("["):
            section = line
        elif section == "[Desktop Entry]" and "=" in line and not line.startswith("#"):
            key, value = line.split("=", 1)
            entry[key] = value
    return entry


# --- checks ------------------------------------------------------------------------------

def check_stage(layout):
    """Installs the release build into the stage folder, afresh."""
    shutil.rmtree(layout.stage, ignore_errors=True)
    result = run(["cmake", "--install", str(layout.build)], env=dict(os.environ, DESTDIR=str(layout.stage)))
    expect(result.returncode == 0, f"cmake --install failed:\n{result.stdout}{result.stderr}")


def check_staged_files(layout):
    """Every file in its place, nothing else, programs executable, data as bundled."""
    present = staged_files(layout.stage)
    expected = layout.expected_files()
    expect(present == expected, "staged files differ:\n  missing: "
           f"{sorted(expected - present)}\n  unexpected: {sorted(present - expected)}")
    for name in (CATALOGUE, SETTINGS, ADDRESS):
        expect(f"{DATA_DIR}/{name}" in present, f"the program reads Data/{name}, which is not installed")
    for program in ("quillor", "quillor-catalogue"):
        mode = layout.staged(f"{PREFIX}/bin/{program}").stat().st_mode
        expect(mode & stat.S_IXOTH and mode & stat.S_IROTH, f"{program} is not executable by everyone")
    for name in layout.bundled_data_files():
        expect(layout.staged(f"{DATA_DIR}/{name}").read_bytes() == (layout.source / "data" / name).read_bytes(),
               f"installed Data/{name} differs from data/{name}")
    expect(layout.staged(f"{DOC_DIR}/README.md").read_bytes() == (layout.source / "README.md").read_bytes(),
           "the installed README is not the project's")
    expect(layout.staged(f"{DOC_DIR}/README.Data.md").read_bytes()
           == (layout.source / "data" / "README.md").read_bytes(),
           "README.Data.md is not data/README.md (the catalogue's source and licence)")
    with gzip.open(layout.staged(f"{DOC_DIR}/changelog.gz")) as changelog:
        expect(changelog.read() == (layout.source / "packaging" / "changelog").read_bytes(),
               "changelog.gz is not packaging/changelog")
    top = run(["dpkg-parsechangelog", "-l", str(layout.source / "packaging" / "changelog"), "-S", "Version"])
    expect(top.stdout.strip() == layout.version,
           f"the changelog's last entry is version {top.stdout.strip()!r}, the project is {layout.version}")
    for page in ("quillor", "quillor-catalogue"):
        with gzip.open(layout.staged(f"{PREFIX}/share/man/man1/{page}.1.gz"), "rt") as text:
            roff = text.read()
        title = next((line.split() for line in roff.splitlines() if line.startswith(".TH ")), ["", ""])
        expect(title[1].strip('"') == page.upper(), f"{page}.1 has no title line for {page}")
        name_section = roff.replace("\\-", "-").partition(".SH NAME\n")[2]
        expect(name_section.startswith(f"{page} - "), f"{page}.1 does not name {page} in NAME")


def check_menu_entry(layout):
    """The menu entry starts the installed program in the installed data's folder, with the icon."""
    desktop = layout.staged(f"{PREFIX}/share/applications/{layout.app_id}.desktop")
    entry = read_desktop_entry(desktop)
    expect(entry.get("Type") == "Application", "the menu entry is not an application")
    expect(entry.get("Name") == "Quillor", f"the menu shows {entry.get('Name')!r}")
    expect("Office" in entry.get("Categories", "").split(";"), "the menu entry is not in Office")
    expect(entry.get("Comment") and entry.get("GenericName"), "the menu entry has no comment or generic name")
    program = entry.get("Exec", "").split()[0]
    expect(layout.staged(f"{PREFIX}/bin/{program}").is_file() or layout.staged(program.lstrip("/")).is_file(),
           f"Exec={entry.get('Exec')} is not an installed program")
    path = entry.get("Path", "")
    expect(path == f"/{PREFIX}/share/quillor", f"Path={path!r} is not the installed data's folder")
    expect(layout.staged(path.lstrip("/") + f"/Data/{CATALOGUE}").is_file(), f"{path}/Data holds no catalogue")
    expect(entry.get("Icon") == layout.app_id, f"Icon={entry.get('Icon')!r} is not the installed icon's name")
    icon = ElementTree.parse(layout.staged(f"{PREFIX}/share/icons/hicolor/scalable/apps/{layout.app_id}.svg"))
    root = icon.getroot()
    expect(root.tag.endswith("svg") and root.get("width") == root.get("height"), "the icon is not a square SVG")
    result = run(["desktop-file-validate", str(desktop)])
    expect(result.returncode == 0 and not result.stdout.strip(),
           f"desktop-file-validate:\n{result.stdout}{result.stderr}")


def check_metainfo(layout):
    """AppStream metadata that validates, names the menu entry and carries the project's version."""
    metainfo = layout.staged(f"{PREFIX}/share/metainfo/{layout.app_id}.metainfo.xml")
    component = ElementTree.parse(metainfo).getroot()
    expect(component.findtext("id") == layout.app_id, f"component id {component.findtext('id')!r}")
    launchable = component.find("launchable")
    expect(launchable is not None and launchable.text == f"{layout.app_id}.desktop",
           "the metadata does not launch the installed menu entry")
    versions = [r.get("version") for r in component.iter("release")]
    expect(versions[:1] == [layout.version], f"latest release {versions[:1]}, the project is {layout.version}")
    binaries = sorted(b.text for b in component.iter("binary"))
    expect(binaries == ["quillor", "quillor-catalogue"], f"provided binaries {binaries}")
    for args in (["validate", "--no-net", str(metainfo)], ["validate-tree", "--no-net", str(layout.stage)]):
        result = run(["appstreamcli", *args])
        expect(result.returncode == 0, f"appstreamcli {args[0]}:\n{result.stdout}{result.stderr}")


# inotify, to see which data files a started program reads, and from where.
IN_ACCESS, IN_CLOSE_NOWRITE, IN_OPEN = 0x1, 0x10, 0x20
EVENT_HEADER = struct.Struct("iIII")


class FileWatch:
    """Records open, read and close events on the files of some folders."""

    def __init__(self, folders):
        self._libc = ctypes.CDLL(None, use_errno=True)
        self._fd = self._libc.inotify_init1(os.O_NONBLOCK | os.O_CLOEXEC)
        expect(self._fd >= 0, f"inotify_init1: {os.strerror(ctypes.get_errno())}")
        self._folders = {}
        for folder in folders:
            wd = self._libc.inotify_add_watch(self._fd, os.fsencode(folder), IN_OPEN | IN_ACCESS | IN_CLOSE_NOWRITE)
            expect(wd >= 0, f"inotify_add_watch {folder}: {os.strerror(ctypes.get_errno())}")
            self._folders[wd] = Path(folder)
        self.events = []  # (file path, mask), in order

    def wait(self, timeout):
        if select.select([self._fd], [], [], timeout)[0]:
            try:
                buffer = os.read(self._fd, 65536)
            except BlockingIOError:
                return
            offset = 0
            while offset < len(buffer):
                wd, mask, _, length = EVENT_HEADER.unpack_from(buffer, offset)
                name = buffer[offset + EVENT_HEADER.size:offset + EVENT_HEADER.size + length].rstrip(b"\0")
                self.events.append((self._folders[wd] / os.fsdecode(name), mask))
                offset += EVENT_HEADER.size + length

    def saw(self, path, mask):
        return any(p == path and m & mask for p, m in self.events)

    def index(self, path, mask):
        return next(i for i, (p, m) in enumerate(self.events) if p == path and m & mask)

    def close(self):
        os.close(self._fd)


def user_environment(home):
    """A fresh user: empty home and configuration (no address of their own), offscreen, who turned
    off the refresh of the availability at start-up: no test reaches the Internet."""
    folders = {name: home / name for name in ("config", "data", "cache", "runtime")}
    for folder in folders.values():
        folder.mkdir(mode=0o700, parents=True, exist_ok=True)
    preferences = folders["config"] / "Quillor" / "Quillor" / "MiseAJour.ini"
    preferences.parent.mkdir(parents=True, exist_ok=True)
    preferences.write_bytes(b"[Disponibilites]\r\nAutomatique=non\r\n")
    return {
        "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
        "HOME": str(home),
        "LANG": "C.UTF-8",
        "QT_QPA_PLATFORM": "offscreen",
        "XDG_CONFIG_HOME": str(folders["config"]),
        "XDG_DATA_HOME": str(folders["data"]),
        "XDG_CACHE_HOME": str(folders["cache"]),
        "XDG_RUNTIME_DIR": str(folders["runtime"]),
    }


def start_program_until_address_read(layout, working_dir, watched_data_dirs, home):
    """Starts the installed program in `working_dir` and waits until it has read the address:
    the last step of its start-up, reached only when the catalogue was loaded and shown.
    Returns the file events, the program's working directory then, and what it printed."""
    watch = FileWatch(watched_data_dirs)
    program = subprocess.Popen([str(layout.staged(f"{PREFIX}/bin/quillor"))], cwd=working_dir,
                               env=user_environment(home), stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    cwd = None
    try:
        addresses = [Path(d) / ADDRESS for d in watched_data_dirs]
        deadline = time.monotonic() + START_DEADLINE_S
        while (not any(watch.saw(a, IN_CLOSE_NOWRITE) for a in addresses) and program.poll() is None
               and time.monotonic() < deadline):
            watch.wait(0.2)
        if program.poll() is None:
            cwd = os.readlink(f"/proc/{program.pid}/cwd")
            program.send_signal(signal.SIGKILL)
        output, errors = program.communicate()
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
        watch.close()
    printed = (output + errors).decode(errors="replace")
    read = sorted({str(p) for p, m in watch.events if m & IN_ACCESS})
    expect(any(watch.saw(a, IN_CLOSE_NOWRITE) for a in addresses),
           f"the program did not finish starting within {START_DEADLINE_S} s (exit status {program.returncode});"
           f" files it read: {read}; it printed: {printed!r}")
    return watch, cwd, printed


def check_installed_program_finds_catalogue(layout):
    """Started from a folder without Data/, the installed program starts on the installed data, silently."""
    installed = layout.staged(DATA_DIR)
    with tempfile.TemporaryDirectory() as temp:
        unrelated = Path(temp) / "unrelated"
        unrelated.mkdir()
        watch, cwd, printed = start_program_until_address_read(layout, unrelated, [installed], Path(temp) / "home")
        catalogue = installed / CATALOGUE
        expect(watch.saw(catalogue, IN_ACCESS), "the installed catalogue was never read")
        expect(watch.index(catalogue, IN_CLOSE_NOWRITE) < watch.index(installed / ADDRESS, IN_CLOSE_NOWRITE),
               "the address was read before the catalogue")
        expect(watch.saw(installed / SETTINGS, IN_ACCESS), "the installed settings were never read")
        expect(cwd == str(installed.parent), f"the program works in {cwd}, not in {installed.parent}")
        # The offscreen platform, having no window manager, says once per size
        # hint that it cannot pass it on; that is Qt's line, not the program's.
        said = [line for line in printed.splitlines()
                if line != "This plugin does not support propagateSizeHints()"]
        expect(said == [], f"the program printed {printed!r}")
        expect(list(unrelated.iterdir()) == [], "the program wrote into the folder it was started from")


def check_working_folder_with_data_keeps_it(layout):
    """A working directory with its own Data/ is used, and the installed data is left unread."""
    installed = layout.staged(DATA_DIR)
    with tempfile.TemporaryDirectory() as temp:
        own = Path(temp) / "pharmacie"
        shutil.copytree(installed, own / "Data")
        watch, cwd, _ = start_program_until_address_read(layout, own, [installed, own / "Data"],
                                                         Path(temp) / "home")
        expect(watch.saw(own / "Data" / CATALOGUE, IN_ACCESS), "the working folder's catalogue was not read")
        touched = sorted({str(p) for p, _ in watch.events if p.parent == installed})
        expect(touched == [], f"the installed data was opened: {touched}")
        expect(cwd == str(own), f"the program moved to {cwd}")


def check_tool_from_any_folder(layout):
    """quillor-catalogue works from any folder: its help, and a search of the installed catalogue,
    named or found as the window finds it."""
    tool = str(layout.staged(f"{PREFIX}/bin/quillor-catalogue"))
    with tempfile.TemporaryDirectory() as temp:
        env = user_environment(Path(temp) / "home")
        unrelated = Path(temp) / "unrelated"
        unrelated.mkdir()
        result = run([tool, "--help"], cwd=unrelated, env=env)
        expect(result.returncode == 0 and result.stdout.startswith("usage: quillor-catalogue"),
               f"--help: status {result.returncode}, {result.stdout[:200]!r} {result.stderr[:200]!r}")
        catalogue = str(layout.staged(f"{DATA_DIR}/{CATALOGUE}"))
        for args in (["--db", catalogue], []):
            result = run([tool, "search", *args, "paracetamol"], cwd=unrelated, env=env, encoding="cp1252")
            lines = result.stdout.splitlines()
            expect(result.returncode == 0 and lines,
                   f"search {args}: status {result.returncode}, {result.stderr!r}")
            expect(all("PARACETAMOL" in line.split(";")[1] for line in lines),
                   f"search found articles without the word: {[l for l in lines if 'PARACETAMOL' not in l][:3]}")
        expect(list(unrelated.iterdir()) == [], "the tool wrote into the folder it was started from")


def check_users_updated_catalogue(layout):
    """quillor-catalogue update puts a new catalogue into the user's data folder, whatever the folder it
    runs from; the installed tool and program then use it there, and no longer the installed one."""
    tool = str(layout.staged(f"{PREFIX}/bin/quillor-catalogue"))
    installed = layout.staged(DATA_DIR)
    exports = layout.source / "tests" / "catalogue" / "exports" / "2026-05"
    with tempfile.TemporaryDirectory() as temp:
        home = Path(temp) / "home"
        env = user_environment(home)
        unrelated = Path(temp) / "unrelated"
        unrelated.mkdir()
        refused = run([tool, "update", "--from", str(exports)], cwd=unrelated, env=env)
        expect(refused.returncode == 1 and "--force" in refused.stderr,
               f"a catalogue of 22 articles replaced 17,233 unasked: {refused.stdout!r} {refused.stderr!r}")
        result = run([tool, "update", "--from", str(exports), "--force"], cwd=unrelated, env=env)
        expect(result.returncode == 0 and result.stdout.startswith("Catalogue mis à jour : 22 articles"),
               f"update: status {result.returncode}, {result.stdout!r} {result.stderr!r}")
        store = home / "data" / "Quillor" / "Quillor" / "Catalogue"
        pointer = (store / "Actuel.txt").read_text()
        current = store / pointer.splitlines()[0].partition("=")[2]
        expect((current / CATALOGUE).is_file(), f"no catalogue where Actuel.txt points: {pointer!r}")
        search = run([tool, "search", "--approx", "x"], cwd=unrelated, env=env, encoding="cp1252")
        expect(search.returncode == 0 and len(search.stdout.splitlines()) == 22,
               f"search read another catalogue than the update's: {len(search.stdout.splitlines())} articles")
        watch, _, _ = start_program_until_address_read(layout, unrelated, [installed, current], home)
        expect(watch.saw(current / CATALOGUE, IN_ACCESS), "the program did not read the user's catalogue")
        expect(not watch.saw(installed / CATALOGUE, IN_ACCESS), "the program read the installed catalogue")
        expect(list(unrelated.iterdir()) == [], "the tool or the program wrote into the folder it was started from")


def loaded_libraries(binary):
    """The libraries `binary` names (NEEDED) with the path the dynamic linker resolves each to."""
    dynamic = run(["readelf", "-d", str(binary)])
    expect(dynamic.returncode == 0, f"readelf {binary}: {dynamic.stderr}")
    needed = [line.split("[", 1)[1].split("]", 1)[0] for line in dynamic.stdout.splitlines() if "(NEEDED)" in line]
    resolved = {}
    for line in run(["ldd", str(binary)]).stdout.splitlines():
        name, arrow, rest = line.strip().partition(" => ")
        if arrow:
            resolved[name] = rest.split(" (", 1)[0]
    for library in needed:
        expect(library in resolved and resolved[library].startswith("/"), f"{binary.name}: {library} not found")
    return {library: resolved[library] for library in needed}


def package_owning(path):
    """The installed Debian package that holds `path` (under /lib or /usr/lib alike)."""
    real = os.path.realpath(path)
    candidates = {path, real}
    for p in list(candidates):
        candidates.add(p.replace("/usr/lib/", "/lib/", 1) if p.startswith("/usr/lib/") else p.replace("/lib/", "/usr/lib/", 1))
    for candidate in sorted(candidates):
        owner = run(["dpkg-query", "-S", candidate])
        if owner.returncode == 0:
            return owner.stdout.split(":", 1)[0].strip()
    raise CheckFailed(f"no installed package holds {path}")


def check_debian_package(layout):
    """The .deb: name, version, architecture, the staged files exactly, no maintainer scripts,
    and a dependency on the package of every library the binaries load."""
    deb = layout.deb()
    fields = {name: run(["dpkg-deb", "-f", str(deb), name]).stdout.strip()
              for name in ("Package", "Version", "Architecture", "Depends", "Maintainer", "Section")}
    architecture = run(["dpkg", "--print-architecture"]).stdout.strip()
    expect(fields["Package"] == "quillor", f"package name {fields['Package']!r}")
    expect(fields["Version"] == layout.version, f"package version {fields['Version']!r}, project {layout.version}")
    expect(fields["Architecture"] == architecture, f"architecture {fields['Architecture']!r}")
    expect(deb.name == f"quillor_{layout.version}_{architecture}.deb", f"file name {deb.name}")
    expect("@" in fields["Maintainer"] and fields["Section"], "no maintainer address or section")

    listing = run(["dpkg-deb", "-c", str(deb)])
    expect(listing.returncode == 0, listing.stderr)
    packaged = {}
    for line in listing.stdout.splitlines():
        mode, owner, _, _, _, name = line.split(None, 5)
        if not mode.startswith("d"):
            packaged[name.removeprefix("./")] = (mode, owner)
    expect(set(packaged) == layout.expected_files(), "packaged files differ from the install:\n  missing: "
           f"{sorted(layout.expected_files() - set(packaged))}\n  unexpected: "
           f"{sorted(set(packaged) - layout.expected_files())}")
    expect(all(owner == "root/root" for _, owner in packaged.values()), "files not owned by root")
    for program in ("quillor", "quillor-catalogue"):
        mode = packaged[f"{PREFIX}/bin/{program}"][0]
        expect(mode == "-rwxr-xr-x", f"{program} has mode {mode}")
    control = subprocess.run(["dpkg-deb", "--ctrl-tarfile", str(deb)], capture_output=True, check=True).stdout
    with tarfile.open(fileobj=io.BytesIO(control)) as archive:
        members = sorted(m.name.removeprefix("./") for m in archive.getmembers() if m.isfile())
    expect(members == ["control", "md5sums"], f"control members {members} (maintainer scripts are not needed)")

    depends = {d.strip().split()[0] for alternatives in fields["Depends"].split(",")
               for d in alternatives.split("|")}
    expect(not any(d.endswith("-dev") for d in depends), f"depends on development packages: {depends}")
    for program in ("quillor", "quillor-catalogue"):
        for library, path in loaded_libraries(layout.staged(f"{PREFIX}/bin/{program}")).items():
            owner = package_owning(path)
            expect(owner in depends, f"{program} loads {library} from {owner}, which the package does not depend on")


def check_lintian(layout):
    """lintian finds no error and no warning (informational tags are printed)."""
    result = run(["lintian", "--fail-on", "error,warning", "--display-info", str(layout.deb())])
    print(result.stdout, result.stderr, sep="")
    expect(result.returncode == 0, f"lintian status {result.returncode}")
    tagged = [line for line in result.stdout.splitlines() if line[:2] in ("E:", "W:")]
    expect(tagged == [], f"lintian: {tagged}")


CHECKS = {
    "Stage": check_stage,
    "StagedInstallHoldsEveryFile": check_staged_files,
    "MenuEntryStartsTheProgramInItsDataFolder": check_menu_entry,
    "MetainfoValidates": check_metainfo,
    "InstalledProgramFindsTheInstalledCatalogue": check_installed_program_finds_catalogue,
    "WorkingFolderWithDataKeepsItsOwn": check_working_folder_with_data_keeps_it,
    "CatalogueToolWorksFromAnyFolder": check_tool_from_any_folder,
    "UsersUpdatedCatalogueIsUsedFromAnyFolder": check_users_updated_catalogue,
    "DebianPackageFilesAndDependencies": check_debian_package,
    "LintianFindsNoErrorOrWarning": check_lintian,
}


def main():
    parser = argparse.ArgumentParser()
    for option in ("source", "build", "stage", "version", "app-id"):
        parser.add_argument(f"--{option}", required=True)
    parser.add_argument("check", choices=sorted(CHECKS))
    options = parser.parse_args()
    try:
        CHECKS[options.check](Layout(options))
    except CheckFailed as failure:
        print(f"{options.check}: {failure}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
