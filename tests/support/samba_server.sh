#!/usr/bin/env bash
# A Samba server of a test's own, on the loopback: its configuration, state and share in a
# folder of the test's, on a port of its own (445 may be taken), the account "root" with a
# password of the test's. Needs root (smbd does).
#   samba_server.sh start FOLDER PORT PASSWORD   start it; the share "kvtest" is FOLDER/share
#   samba_server.sh stop|kill|pause|resume FOLDER
#     stop ends it, kill ends it at once (a server that fails mid-work), pause leaves it
#     running without answering, resume lets it answer again
set -euo pipefail

command=$1
dir=$2
group() { cat "$dir/smbd.pid" 2>/dev/null || true; }
signal() {
    local pid
    pid=$(group)
    [ -n "$pid" ] && kill "-$1" -- "-$pid" 2>/dev/null || true
}

case $command in
start)
    port=$3
    password=$4
    mkdir -p "$dir"/{share,private,lock,state,cache,pid,ncalrpc,log}
    fresh=0
    [ -f "$dir/smb.conf" ] || fresh=1
    cat >"$dir/smb.conf" <<CONF
[global]
    workgroup = KVTEST
    server role = standalone server
    smb ports = $port
    interfaces = lo
    bind interfaces only = yes
    private dir = $dir/private
    lock directory = $dir/lock
    state directory = $dir/state
    cache directory = $dir/cache
    pid directory = $dir/pid
    ncalrpc dir = $dir/ncalrpc
    log file = $dir/log/%m.log
    passdb backend = tdbsam:$dir/private/passdb.tdb
    load printers = no
    printing = bsd
    printcap name = /dev/null
    disable spoolss = yes
    map to guest = never
    server min protocol = SMB2_02
    rpc start on demand helpers = no
[kvtest]
    path = $dir/share
    read only = no
    create mask = 0600
CONF
    # Started again after a kill, the server keeps its account.
    [ "$fresh" = 0 ] || printf '%s\n%s\n' "$password" "$password" |
        smbpasswd -c "$dir/smb.conf" -s -a root >/dev/null
    # In a process group of its own (smbd's default in the foreground), so that its children,
    # one per connection, are stopped with it.
    setsid smbd --foreground --no-process-group --configfile="$dir/smb.conf" \
        --debuglevel=0 </dev/null >"$dir/log/smbd.out" 2>&1 &
    echo $! >"$dir/smbd.pid"
    echo "$port" >"$dir/port"
    for _ in $(seq 200); do
        if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            exit 0
        fi
        sleep 0.05
    done
    echo "smbd did not start listening on port $port:" >&2
    cat "$dir/log/smbd.out" >&2
    exit 1
    ;;
stop | kill)
    signal CONT
    [ "$command" = stop ] && signal TERM || signal KILL
    # Gone once nothing listens on its port any more (a killed server's processes may linger
    # as zombies of whoever adopted them).
    port=$(cat "$dir/port")
    for _ in $(seq 100); do
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || break
        sleep 0.05
    done
    signal KILL
    rm -f "$dir/smbd.pid"
    ;;
pause) signal STOP ;;
resume) signal CONT ;;
esac
