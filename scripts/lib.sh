# shellcheck shell=bash
# Helpers shared by the scripts of this folder; sourced, never run.

# The build tree defaults to build/ at the repository root; LOCAVIA_BUILD_DIR points elsewhere
# (a relative path is taken from the directory the script was started in).
LOCAVIA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
LOCAVIA_BUILD_DIR=${LOCAVIA_BUILD_DIR:-$LOCAVIA_ROOT/build}
[[ $LOCAVIA_BUILD_DIR == /* ]] || LOCAVIA_BUILD_DIR=$PWD/$LOCAVIA_BUILD_DIR
export LOCAVIA_BUILD_DIR

LOCAVIA_ADMIN=$LOCAVIA_BUILD_DIR/tools/locavia-admin/locavia-admin

note() {
    printf '==> %s\n' "$*" >&2
}

die() {
    printf '%s: %s\n' "${0##*/}" "$*" >&2
    exit 1
}

# Creates the demo database (locavia.db and solma.db) in a directory, passing the extra arguments to
# locavia-admin. The files are written in a staging folder beside their final place and moved in only
# once locavia-admin has succeeded, so an interrupted or failed creation never leaves a half-filled
# locavia.db that a later run would take for a finished one. Holds the EXIT trap while it runs.
create_demo_database() {
    local target=$1
    shift
    [[ -x $LOCAVIA_ADMIN ]] || die "locavia-admin has not been built ($LOCAVIA_ADMIN)"
    [[ ! -e $target/locavia.db ]] || die "$target/locavia.db exists already; it is never replaced"
    mkdir -p -- "$target" || die "cannot create $target"

    local staging
    staging=$(mktemp -d "$target/.creating.XXXXXX") || die "cannot create a staging folder in $target"
    # shellcheck disable=SC2064 # the path is fixed now, on purpose
    trap "rm -rf -- $(printf %q "$staging")" EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM

    note "creating the demo database in $target"
    if ! "$LOCAVIA_ADMIN" sqlite --dir "$staging" --demo "$@"; then
        die "locavia-admin failed; $target was left unchanged"
    fi
    if [[ ! -f $staging/locavia.db || ! -f $staging/solma.db ]]; then
        die "locavia-admin reported success but did not write locavia.db and solma.db"
    fi

    # What an earlier database left here without its locavia.db (a solma.db, a journal or WAL that
    # SQLite would replay into the new files) is kept aside, never overwritten nor reused.
    local leftover stamp
    stamp=$(date +%Y%m%d-%H%M%S)
    for leftover in "$target"/{locavia,solma}.db{,-journal,-wal,-shm}; do
        [[ -e $leftover ]] || continue
        mv -- "$leftover" "$leftover.orphan-$stamp" || die "cannot move $leftover aside"
        note "kept the earlier ${leftover##*/} as ${leftover##*/}.orphan-$stamp"
    done

    # Everything SQLite left beside the files (a journal, a WAL) travels with them; locavia.db goes
    # last because its presence is what marks the database as complete.
    local file
    for file in "$staging"/* "$staging"/.[!.]*; do
        [[ -e $file ]] || continue
        [[ ${file##*/} == locavia.db ]] && continue
        mv -f -- "$file" "$target/" || die "cannot move ${file##*/} into $target"
    done
    mv -f -- "$staging/locavia.db" "$target/locavia.db" || die "cannot move locavia.db into $target"

    rm -rf -- "$staging"
    trap - EXIT INT TERM
}
