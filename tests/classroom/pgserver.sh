#!/bin/sh
# Starts or stops the PostgreSQL server the classroom's tests use: a fresh
# cluster in a temporary folder on a free port, run as an unprivileged user
# (initdb refuses root; as root the cluster belongs to "nobody").
#
#   pgserver.sh start INFO   writes INFO: the folder, the port, the password file
#   pgserver.sh stop INFO    stops the server and removes the folder
#   pgserver.sh halt INFO    kills the server at once (as a power cut would)
#   pgserver.sh resume INFO  starts it again on the same port
#
# Roles made here: zeltrak_admin (owner of the database "classroom"),
# zeltrak_pc and zeltrak_instructor, each with a password kept in the
# password file the tests point PGPASSFILE at. Without the PostgreSQL
# binaries INFO says so, and the tests skip with that message.
set -eu
action=$1
info=$2

bindir=
for candidate in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
    if [ -x "$candidate/initdb" ] && [ -x "$candidate/pg_ctl" ]; then
        bindir=$candidate
        break
    fi
done

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"
    else
        "$@"
    fi
}

case $action in
start)
    rm -f "$info"
    if [ -z "$bindir" ]; then
        echo "unavailable=PostgreSQL binaries (initdb, pg_ctl) are not installed" >"$info"
        exit 0
    fi
    dir=$(mktemp -d /tmp/zeltrak-pg.XXXXXX)
    chmod 755 "$dir"
    printf 'adminpw\n' >"$dir/adminpw"
    if [ "$(id -u)" -eq 0 ]; then
        chown nobody:nogroup "$dir" "$dir/adminpw"
    fi
    as_owner "$bindir/initdb" -D "$dir/data" -U zeltrak_admin --pwfile="$dir/adminpw" \
        --auth-local=trust --auth-host=scram-sha-256 -E UTF8 --no-locale >"$dir/initdb.log" 2>&1
    port=
    for attempt in 1 2 3 4 5 6 7 8 9 10; do
        candidate=$((20000 + $(od -An -N2 -tu2 /dev/urandom) % 30000))
        if as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
            -o "-p $candidate -k $dir -c listen_addresses=127.0.0.1 -c fsync=off" start \
            >>"$dir/pg_ctl.log" 2>&1; then
            port=$candidate
            break
        fi
    done
    if [ -z "$port" ]; then
        echo "no free port for PostgreSQL; see $dir/server.log" >&2
        exit 1
    fi
    as_owner "$bindir/psql" -h "$dir" -p "$port" -U zeltrak_admin -d postgres -q -v ON_ERROR_STOP=1 <<SQL
CREATE ROLE zeltrak_pc LOGIN PASSWORD 'pcpw';
CREATE ROLE zeltrak_instructor LOGIN PASSWORD 'instructorpw';
CREATE DATABASE classroom OWNER zeltrak_admin;
SQL
    pgpass=$dir/pgpass
    {
        echo "127.0.0.1:$port:*:zeltrak_admin:adminpw"
        echo "127.0.0.1:$port:*:zeltrak_pc:pcpw"
        echo "127.0.0.1:$port:*:zeltrak_instructor:instructorpw"
    } >"$pgpass"
    chmod 600 "$pgpass"
    {
        echo "dir=$dir"
        echo "port=$port"
        echo "pgpass=$pgpass"
        echo "bindir=$bindir"
    } >"$info"
    ;;
halt)
    dir=$(sed -n 's/^dir=//p' "$info")
    as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null
    ;;
resume)
    dir=$(sed -n 's/^dir=//p' "$info")
    port=$(sed -n 's/^port=//p' "$info")
    as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
        -o "-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=off" start >/dev/null
    ;;
stop)
    [ -f "$info" ] || exit 0
    dir=$(sed -n 's/^dir=//p' "$info")
    if [ -n "$dir" ] && [ -d "$dir" ]; then
        as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
        rm -rf "$dir"
    fi
    rm -f "$info"
    ;;
esac
