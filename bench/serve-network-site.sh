# Serves a generated site as the real code-base sites answer, over a link with a round-trip time,
# for the benchmark's figures on a real network. Source it, then:
#
#   serve_network_site WORK_DIR ROUND_TRIP_MS PROXY
#       serves WORK_DIR/site with Debian's nginx over TLS (the test CA's certificate for localhost
#       and 127.0.0.1, tests/support/tls/), on 127.0.0.1 on a port nobody else holds: a plain http
#       request on that port is answered 301 to the same URL over https, and every https answer
#       carries Strict-Transport-Security, as the real sites do. In front of it the delay proxy
#       PROXY (trawlbox_bench_delay_proxy) holds each direction for half of ROUND_TRIP_MS. Sets
#       network_root ("http://localhost:PROXY_PORT": HSTS is never learned for an IP address),
#       network_log (nginx's access log: a line a request, its status first) and the servers'
#       pids; nginx's own files go to WORK_DIR/nginx.
#   stop_network_site
#       stops both again (does nothing when none runs).

# What it sets is read by the script that sources it.
# shellcheck shell=bash disable=SC2034

network_server_pid=""
network_proxy_pid=""
network_root=""
network_log=""

stop_network_site() {
  local pid
  for pid in "$network_proxy_pid" "$network_server_pid"; do
    [ -n "$pid" ] || continue
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  network_proxy_pid=""
  network_server_pid=""
}

# nginx on `port`; false, with nothing left running, when it cannot take that port.
start_tls_nginx_on() {
  local work=$1 port=$2 dir=$1/nginx tls=$PWD/tests/support/tls nginx user_line=""
  nginx=$(PATH=$PATH:/usr/sbin command -v nginx) || { echo "nginx is missing: bash scripts/setup.sh" >&2; return 1; }
  mkdir -p "$dir"
  # Workers started by root would drop to an unprivileged user that cannot read the work folder.
  [ "$(id -u)" = 0 ] && user_line="user root;"
  # A plain request on a TLS port is nginx's error 497, which is turned into the sites' 301 to the
  # same URL over https; the client's own Host keeps the port it used, the proxy's. HSTS goes on
  # https answers only: a client must ignore it on plain http.
  cat >"$dir/nginx.conf" <<CONF
$user_line
daemon off;
worker_processes 1;
pid $dir/nginx.pid;
error_log $dir/error.log warn;
events { worker_connections 64; }
http {
  log_format counted '\$status \$scheme "\$request"';
  access_log $dir/access.log counted;
  client_body_temp_path $dir/client_body;
  proxy_temp_path $dir/proxy;
  fastcgi_temp_path $dir/fastcgi;
  uwsgi_temp_path $dir/uwsgi;
  scgi_temp_path $dir/scgi;
  types { }
  default_type text/html;
  charset utf-8;
  sendfile on;
  tcp_nodelay on;
  keepalive_requests 100000;
  keepalive_timeout 600s;
  map \$https \$hsts {
    on "max-age=31536000; includeSubDomains; preload";
    default "";
  }
  server {
    listen 127.0.0.1:$port ssl;
    ssl_certificate $tls/signed.pem;
    ssl_certificate_key $tls/signed.key;
    error_page 497 =301 https://\$http_host\$request_uri;
    add_header Strict-Transport-Security \$hsts always;
    root $work/site;
    location /files/ { default_type application/octet-stream; }
  }
}
CONF
  "$nginx" -p "$dir" -e "$dir/error.log" -c "$dir/nginx.conf" &
  network_server_pid=$!
  for _ in $(seq 200); do
    kill -0 "$network_server_pid" 2>/dev/null || break
    curl --silent --output /dev/null --cacert "$tls/test_ca.pem" "https://localhost:$port/" && return 0
    sleep 0.05
  done
  stop_network_site
  return 1
}

# The delay proxy in front of nginx's `port`; sets network_root once it listens.
start_delay_proxy() {
  local work=$1 round_trip_ms=$2 proxy=$3 port=$4 proxy_port
  "$proxy" "$port" "$round_trip_ms" >"$work/proxy.out" &
  network_proxy_pid=$!
  for _ in $(seq 200); do
    proxy_port=$(sed -n 's/^port=//p' "$work/proxy.out")
    if [ -n "$proxy_port" ]; then
      network_root="http://localhost:$proxy_port"
      return 0
    fi
    kill -0 "$network_proxy_pid" 2>/dev/null || break
    sleep 0.05
  done
  echo "the delay proxy did not start" >&2
  return 1
}

serve_network_site() {
  local work=$1 round_trip_ms=$2 proxy=$3 port
  mkdir -p "$work/site"
  # nginx gives up at once on a port that is taken, and another is tried.
  for _ in $(seq 20); do
    port=$((20000 + RANDOM % 40000))
    if start_tls_nginx_on "$work" "$port"; then
      network_log=$work/nginx/access.log
      start_delay_proxy "$work" "$round_trip_ms" "$proxy" "$port" || { stop_network_site; return 1; }
      return 0
    fi
  done
  echo "nginx did not start over TLS:" >&2
  cat "$work/nginx/error.log" >&2 2>/dev/null || true
  return 1
}
