#!/bin/sh
# apt-mirror.sh -- prints the Debian mirror this machine's apt uses, as apt itself reads its
# sources.list.d and sources.list: the first deb source of this system's own release.
# Prints nothing, and fails, when apt has none.
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
apt-get indextargets --no-release-info --format '$(TARGET_OF) $(RELEASE) $(REPO_URI)' 2>/dev/null |
    awk -v want="$codename" '$1 == "deb" && $2 == want { sub("/$", "", $3); print $3; found = 1; exit }
                             END { exit !found }'
