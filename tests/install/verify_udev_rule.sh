#!/usr/bin/env bash
# Checks the udev rule with udevadm verify (systemd 253 and later). An older udevadm cannot
# check a rule file, so the rule reader's test of the shipped rule stands in for it then.
#
# usage: verify_udev_rule.sh RULE_FILE RULE_READER_TEST
set -u
rule=$1 reader=$2
command -v udevadm >/dev/null || { echo "FAIL: udevadm is not installed (Debian package udev)" >&2; exit 1; }
if udevadm verify --help >/dev/null 2>&1; then
    exec udevadm verify --resolve-names=never "$rule"
fi
echo "udevadm $(udevadm --version) has no verify; checking with the rule reader instead"
exec "$reader" --gtest_filter='ShippedUdevRule.*'
