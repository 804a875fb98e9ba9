# Fetches, checks and unpacks Debian source packages for the build helpers.
# Source this file from a POSIX shell, set debian_source_caller to the
# helper's name (for messages), then:
#
#   debian_source_fetch WORK PACKAGE...
#
# leaves each package unpacked in WORK/PACKAGE-VERSION; what an earlier run
# fetched or unpacked into WORK is reused. Fetching needs a deb-src entry;
# when the machine has none, one is made from its own apt sources (same URIs
# and suites, type deb-src), which needs root. Stops the calling script with
# a message on any failure.

debian_source_fail() {
    echo "${debian_source_caller:-debian-source}: $*" >&2
    exit 1
}

debian_source_has_deb_src_entry() {
    grep -Eqs '^[[:space:]]*deb-src[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list ||
        grep -Eqs '^Types:.*deb-src' /etc/apt/sources.list.d/*.sources
}

# Copies every enabled "deb" stanza of the deb822 source files, and every "deb"
# line of the one-line files, with the type changed to deb-src.
debian_source_write_entries() {
    _ds_stanzas=$(mktemp)
    _ds_lines=$(mktemp)
    for _ds_file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$_ds_file" ] || continue
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /(^|\n)Enabled:[ \t]*no/ { next }
             /(^|\n)Types:[ \t]*([^\n]*[ \t])?deb([ \t]|\n|$)/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' \
            "$_ds_file" >>"$_ds_stanzas"
    done
    for _ds_file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$_ds_file" ] || continue
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$_ds_file" >>"$_ds_lines"
    done
    [ -s "$_ds_stanzas" ] && cp "$_ds_stanzas" /etc/apt/sources.list.d/velto-deb-src.sources
    [ -s "$_ds_lines" ] && cp "$_ds_lines" /etc/apt/sources.list.d/velto-deb-src.list
    rm -f "$_ds_stanzas" "$_ds_lines"
}

# debian_source_ensure_index PACKAGE...: apt knows where to fetch their sources.
debian_source_ensure_index() {
    if ! debian_source_has_deb_src_entry; then
        [ "$(id -u)" -eq 0 ] || debian_source_fail "apt has no deb-src entry and only root can add one"
        echo "${debian_source_caller:-debian-source}: adding deb-src entries made from the machine's apt sources"
        debian_source_write_entries
        debian_source_has_deb_src_entry || debian_source_fail "found no apt source to copy as deb-src"
    fi
    if ! apt-get source --print-uris "$@" >/dev/null 2>&1; then
        [ "$(id -u)" -eq 0 ] || debian_source_fail "apt knows no source packages; run apt-get update as root"
        apt-get update -qq
    fi
}

# The files of a source package that a .dsc lists, checked against its SHA-256
# sums; the upstream signature (.asc) may be missing from the mirror and is
# not needed, since apt checked every file against the signed index.
debian_source_verify_files() {
    awk '/^Checksums-Sha256:/ { on = 1; next } /^[^ ]/ { on = 0 } on && $3 !~ /[.]asc$/ { print $1 "  " $3 }' \
        "$2" | (cd "$1" && sha256sum --quiet -c -) || debian_source_fail "checksum mismatch in the files of $2"
}

# debian_source_unpack WORK PACKAGE
debian_source_unpack() {
    ls -d "$1/$2"-*/ >/dev/null 2>&1 && return 0
    _ds_dsc=$(ls "$1/$2"_*.dsc 2>/dev/null | head -1)
    [ -n "$_ds_dsc" ] || debian_source_fail "apt-get source did not fetch $2: $(cat "$1/apt-get.log" 2>/dev/null)"
    debian_source_verify_files "$1" "$_ds_dsc"
    grep -v '[.]asc$' "$_ds_dsc" >"$1/$2-unpack.dsc"
    (cd "$1" && dpkg-source -q --no-check -x "$2-unpack.dsc" >/dev/null) ||
        debian_source_fail "unpacking $2 failed"
}

debian_source_fetch() {
    _ds_work=$1
    shift
    mkdir -p "$_ds_work"
    _ds_missing=
    for _ds_package in "$@"; do
        ls "$_ds_work/$_ds_package"_*.dsc >/dev/null 2>&1 || _ds_missing="$_ds_missing $_ds_package"
    done
    if [ -n "$_ds_missing" ]; then
        # apt serialises itself with a lock; this lock keeps two build trees
        # from adding the entry or updating the lists at the same time.
        (
            flock 9
            # shellcheck disable=SC2086
            debian_source_ensure_index $_ds_missing
        ) 9>/tmp/velto-deb-src.lock || exit 1
        # Fails when only the upstream signature is missing: checked below.
        # shellcheck disable=SC2086
        (cd "$_ds_work" && apt-get source -qq --download-only $_ds_missing) >"$_ds_work/apt-get.log" 2>&1 || true
    fi
    for _ds_package in "$@"; do
        debian_source_unpack "$_ds_work" "$_ds_package"
    done
}

# debian_source_dir WORK PACKAGE: the unpacked tree of PACKAGE in WORK.
debian_source_dir() {
    _ds_dir=$(ls -d "$1/$2"-*/ 2>/dev/null | head -1)
    [ -n "$_ds_dir" ] || debian_source_fail "$2 is not unpacked in $1"
    printf '%s\n' "${_ds_dir%/}"
}
