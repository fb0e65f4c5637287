#!/usr/bin/env bash
# in_namespace.sh COMMAND...: runs COMMAND in a world of its own in which
# suggest.taobao.com is this machine. In private mount and network namespaces
# it maps the host name to 127.0.0.1 in /etc/hosts, adds a test CA to the
# system's trust store, serves the fixture replies of replies/ over HTTPS on
# 127.0.0.1:443 with nginx, and starts an X server. COMMAND finds the request
# log and nginx's pid file in $FINDER_E2E_DIR. Exits 77 (skipped) when it
# cannot make the namespaces.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
host=suggest.taobao.com

if [ "${FINDER_E2E_INSIDE:-}" != 1 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "SKIPPED: the end-to-end test needs root to make its namespaces"
    exit 77
  fi
  if ! unshare --mount --net --propagation private true 2>/dev/null; then
    echo "SKIPPED: this machine does not allow new mount and network namespaces"
    exit 77
  fi
  FINDER_E2E_INSIDE=1 exec unshare --mount --net --propagation private \
    "$0" "$@"
fi

dir=$(mktemp -d /tmp/finder-e2e.XXXXXX)
chmod 755 "$dir"
cleanup() {
  [ -f "$dir/nginx.pid" ] && kill "$(cat "$dir/nginx.pid")" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT

ip link set lo up
mkdir -p "$dir/tmp" "$dir/replies"
cp "$here"/replies/* "$dir/replies/"
chmod -R a+rX "$dir/replies"

# The name resolves to loopback, and the test CA is trusted, only in here.
cp /etc/hosts "$dir/hosts"
echo "127.0.0.1 $host" >>"$dir/hosts"
mount --bind "$dir/hosts" /etc/hosts
"$here/make_certs.sh" "$dir" "$host"
cat /etc/ssl/certs/ca-certificates.crt "$dir/ca.pem" >"$dir/ca-bundle.crt"
mount --bind "$dir/ca-bundle.crt" /etc/ssl/certs/ca-certificates.crt

sed -e "s#@DIR@#$dir#g" -e "s#@HOST@#$host#g" -e "s#@REPLIES@#$dir/replies#g" \
  "$here/nginx.conf.in" >"$dir/nginx.conf"
nginx -c "$dir/nginx.conf" -e "$dir/nginx-error.log" &
for _ in $(seq 100); do
  [ -s "$dir/nginx.pid" ] && break
  sleep 0.1
done
[ -s "$dir/nginx.pid" ] || { echo "nginx did not start"; cat "$dir/nginx-error.log"; exit 1; }

# The X server's sockets stay in this namespace too: an X server outside
# that uses the same display number keeps its own socket.
mount -t tmpfs -o mode=1777 tmpfs /tmp/.X11-unix
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" \
  >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$dir/display" ] && break
  sleep 0.1
done
export DISPLAY=":$(head -n1 "$dir/display")"
export FINDER_E2E_DIR=$dir
"$@"
