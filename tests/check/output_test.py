#!/usr/bin/env python3
"""autorun-check as a publisher's pipeline runs it: the JSON report of one
medium read back field by field, the SARIF log held to the fields its schema
requires, --disable and --fail-on on a medium with only warnings, several
media in one run, and the exit status of every usage error (one line each).

Usage: output_test.py AUTORUN_CHECK SIGNED_PROGRAM

SIGNED_PROGRAM, a program signed at build time, stands in for the medium's
programs, so that they give no findings but the note that names the signer.
"""
import json
import os
import subprocess
import sys
import tempfile

CHECK = os.path.abspath(sys.argv[1])
with open(sys.argv[2], "rb") as signed:
    PROGRAM = signed.read()
GOOD_DAT = (
    "[Config]\r\nUnInstKey=Prod\r\nSetupPath=setup\\setup.exe\r\nSetupTitle=Prod Setup\r\n"
    "ExeName=prod.exe\r\nProductLink=\\Prod\\Prod.lnk\r\n[AppRun]\r\nRunFirst=extras\\first.exe\r\n"
    "Installed=extras\\tools.exe\r\n")
FAILURES = []


def medium(root, name, dat):
    folder = os.path.join(root, name)
    for program in ("autorun.exe", "setup/setup.exe", "extras/first.exe", "extras/tools.exe"):
        os.makedirs(os.path.dirname(os.path.join(folder, program)), exist_ok=True)
        with open(os.path.join(folder, program), "wb") as file:
            file.write(PROGRAM)
    with open(os.path.join(folder, "install.dat"), "w", newline="") as file:
        file.write(dat)
    with open(os.path.join(folder, "autorun.inf"), "w", newline="") as file:
        file.write("[autorun]\r\nopen=autorun.exe\r\n")
    return folder


def run(*arguments, cwd):
    done = subprocess.run([CHECK, *arguments], cwd=cwd, capture_output=True, text=True,
                          timeout=60)
    return done.returncode, done.stdout, done.stderr


def expect(name, condition, detail=""):
    if not condition:
        FAILURES.append(f"{name}: {detail}")


def main():
    with tempfile.TemporaryDirectory() as root:
        # SetupTitle missing (a warning, no line), SetupPath naming no file
        # (an error at line 3), the note every folder gets, and the one that
        # names the programs' signer.
        medium(root, "faulty", GOOD_DAT.replace("SetupTitle=Prod Setup\r\n", "")
               .replace("setup\\setup.exe", "setup\\missing.exe"))
        # Warnings only: SetupTitle and ExeName missing.
        medium(root, "warnings", GOOD_DAT.replace("SetupTitle=Prod Setup\r\n", "")
               .replace("ExeName=prod.exe\r\n", ""))
        medium(root, "good", GOOD_DAT)
        with open(os.path.join(root, "disc.iso"), "w") as file:
            file.write("not mastered")

        status, out, _ = run("--format", "json", "faulty", cwd=root)
        expect("json status", status == 1, status)
        report = json.loads(out)
        findings = sorted(report["findings"], key=lambda f: f["code"])
        expected = [
            {"severity": "warning", "code": "missing-key", "file": "install.dat",
             "section": "Config", "key": "SetupTitle", "line": None,
             "message": "the key is missing",
             "consequence": "the launcher cannot see a running setup and does not look for one",
             "fix": "set it to the title of the setup program's main window",
             "medium": "faulty"},
            {"severity": "error", "code": "no-such-program", "file": "install.dat",
             "section": "Config", "key": "SetupPath", "line": 3,
             "message": "\"setup\\missing.exe\" names no file on the medium",
             "consequence": "the launcher's start of it fails, silently: nothing happens",
             "fix": "put the program there or correct the path (relative to the medium's root)",
             "medium": "faulty"},
            {"severity": "note", "code": "signer", "file": "autorun.exe", "section": "",
             "key": "", "line": None, "medium": "faulty"},
            {"severity": "note", "code": "usb-ignores-open", "file": "autorun.inf",
             "section": "autorun", "key": "open", "line": 2, "medium": "faulty"},
        ]
        expect("json findings", len(findings) == len(expected), findings)
        for got, want in zip(findings, expected):
            for field, value in want.items():
                expect(f"json {want['code']}.{field}", got.get(field) == value, got.get(field))
            expect(f"json {want['code']} fields", sorted(got) == sorted(
                ["severity", "code", "file", "section", "key", "line", "message", "consequence",
                 "fix", "medium"]), sorted(got))
        expect("json summary", report["summary"] == {"errors": 1, "warnings": 1, "notes": 2},
               report["summary"])

        # SARIF 2.1.0: the fields its schema requires, a rule for every code,
        # a result for every finding, located in its file.
        status, out, _ = run("--format", "sarif", "faulty", "good", cwd=root)
        log = json.loads(out)
        expect("sarif version", log.get("version") == "2.1.0", log.get("version"))
        expect("sarif runs", isinstance(log.get("runs"), list) and len(log["runs"]) == 1)
        sarif_run = log["runs"][0]
        driver = sarif_run["tool"]["driver"]
        expect("sarif driver name", driver.get("name") == "autorun-check")
        rules = driver.get("rules", [])
        ids = [rule.get("id") for rule in rules]
        expect("sarif rule ids", len(ids) == len(set(ids)) and None not in ids, ids)
        for rule in rules:
            expect(f"sarif rule {rule['id']} help", rule["help"]["text"]
                   and rule["shortDescription"]["text"], rule)
        results = sarif_run.get("results")
        expect("sarif results", isinstance(results, list) and len(results) == 6, results)
        for result in results:
            expect("sarif ruleId", result["ruleId"] in ids, result)
            expect("sarif ruleIndex", ids[result["ruleIndex"]] == result["ruleId"], result)
            expect("sarif message", result["message"]["text"], result)
            expect("sarif level", result["level"] in ("error", "warning", "note"), result)
            location = result["locations"][0]["physicalLocation"]
            expect("sarif uri", location["artifactLocation"]["uri"] in (
                "faulty/install.dat", "faulty/autorun.inf", "faulty/autorun.exe",
                "good/autorun.inf", "good/autorun.exe"), location)
        lines = [r["locations"][0]["physicalLocation"].get("region", {}).get("startLine")
                 for r in results if r["ruleId"] == "no-such-program"]
        expect("sarif region", lines == [3], lines)

        # A medium with warnings only: what fails is the publisher's choice.
        for arguments, want in (
                ([], 1),
                (["--fail-on", "error"], 0),
                (["--fail-on=warning"], 1),
                (["--disable", "missing-key"], 0),
                (["--disable", "usb-ignores-open,missing-key,signer", "--format", "json"], 0),
        ):
            status, out, _ = run(*arguments, "warnings", cwd=root)
            expect(f"warnings {arguments}", status == want, (status, out))
        status, out, _ = run("--disable", "missing-key,usb-ignores-open,signer", "--format", "json",
                             "warnings", cwd=root)
        expect("disabled codes left out", json.loads(out)["findings"] == [], out)

        # Several media in one run: each finding names its medium, a summary
        # line each and the total.
        status, out, _ = run("good", "warnings", cwd=root)
        lines = out.splitlines()
        expect("several media status", status == 1, status)
        expect("several media lines", any(l.startswith("warnings: warning: install.dat")
                                          for l in lines), out)
        expect("several media summary", lines[-3:] == [
            "good: 0 errors, 0 warnings, 2 notes", "warnings: 0 errors, 2 warnings, 2 notes",
            "total: 0 errors, 2 warnings, 4 notes in 2 media"], lines[-3:])

        # Usage errors: exit status 2 and one line; --simulate as --explain.
        for arguments, want in (
                (["missing"], 2),
                (["missing.iso"], 2),
                (["good", "missing"], 2),
                (["--bogus", "good"], 2),
                (["--format", "xml", "good"], 2),
                (["--disable", "no-such-code", "good"], 2),
                (["--fail-on", "note", "good"], 2),
                (["--format"], 2),
                ([], 2),
                (["--simulate", "missing"], 2),
                (["--simulate", "disc.iso"], 2),
                (["--simulate", "good", "--bogus"], 2),
                (["--simulate", "good"], 0),
                (["--simulate", "good", "--installed", "--no-shortcut"], 1),
        ):
            status, out, err = run(*arguments, cwd=root)
            expect(f"status {arguments}", status == want, (status, out, err))
            if want == 2:
                expect(f"one line {arguments}", len(err.splitlines()) == 1 and not out, err)
    for failure in FAILURES:
        print("FAILED:", failure)
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
