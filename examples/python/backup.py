#!/usr/bin/env python3
# file: Nightly Backup
#
# Copies a folder into a dated archive and keeps only the newest few
# archives. Meant to run once a night from a scheduler.
#
# Usage:
# {{ backup.py SOURCE TARGET [--keep N] }}

import argparse
import datetime
import pathlib
import shutil


# def: backup_folder
# Archives *source* into *target* and removes the oldest archives beyond
# the newest keep ones.
#
# source - the folder to archive
# target - the folder that holds the archives; made when missing
# keep - how many archives stay, seven unless told otherwise
#
# Returns the path of the new archive.
def backup_folder(source, target,
                  keep=7):
    target = pathlib.Path(target)
    target.mkdir(parents=True, exist_ok=True)
    stamp = datetime.date.today().isoformat()
    archive = shutil.make_archive(str(target / stamp), "zip", source)
    for old in archives(target)[keep:]:
        old.unlink()
    return archive


# def: archives
# The archives in a folder, the newest first. Their names are ISO dates,
# so sorting the names sorts the dates.
def archives(target):
    return sorted(pathlib.Path(target).glob("*.zip"), reverse=True)


# DEF: main
# Reads the command line and runs backup_folder once.
def main():
    parser = argparse.ArgumentParser(description="Dated folder backups")
    parser.add_argument("source")
    parser.add_argument("target")
    parser.add_argument("--keep", type=int, default=7)
    options = parser.parse_args()
    print(backup_folder(options.source, options.target, options.keep))


if __name__ == "__main__":
    main()
