# Sourced by the public site's and the edge's tests: Debian's nginx started as
# a process of our own on 127.0.0.1 with a site file of the project, the site
# file's paths filled in for a folder of the test. $source_dir: the source
# folder; $work: the test's folder (readable by nginx's workers).

# A free port of 127.0.0.1.
free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
}

# The project's own authority standing in for the public one, and a
# certificate for 127.0.0.1 and localhost where certbot puts a site's:
# DIR/ca.pem, DIR/letsencrypt/live/localhost/{fullchain,privkey}.pem.
make_site_certificate() {
  local dir=$1 live=$1/letsencrypt/live/localhost
  mkdir -p "$live"
  printf '[req]\ndistinguished_name = dn\n[dn]\n' > "$dir/req.cnf"
  openssl req -config "$dir/req.cnf" -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 \
    -nodes -keyout "$dir/ca.key" -out "$dir/ca.pem" -days 2 -subj "/CN=quendro test CA" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" \
    2>/dev/null
  openssl req -config "$dir/req.cnf" -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes \
    -keyout "$live/privkey.pem" -out "$dir/site.csr" -subj "/CN=localhost" 2>/dev/null
  printf 'subjectAltName=IP:127.0.0.1,DNS:localhost\nextendedKeyUsage=serverAuth\n' > "$dir/site.ext"
  openssl x509 -req -in "$dir/site.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" \
    -set_serial 1 -days 2 -extfile "$dir/site.ext" -out "$dir/site.pem" 2>/dev/null
  cat "$dir/site.pem" "$dir/ca.pem" > "$live/fullchain.pem"
}

# Debian's own /etc/nginx/nginx.conf, made a process of ours in FOLDER: its
# pid, logs and temporary folders there (each request logged with its time
# to the millisecond and the cache's word), its sites the files of
# FOLDER/conf/sites-enabled, CONNECTIONS connections a worker.
debian_nginx_conf() {  # folder connections
  local folder=$1 connections=$2
  mkdir -p "$folder/conf/sites-enabled" "$folder/logs" "$folder/tmp"
  sed -e "s|^pid /run/nginx.pid;|pid $folder/nginx.pid;\nworker_rlimit_nofile 20000;|" \
      -e "s|^error_log /var/log/nginx/error.log;|error_log $folder/logs/error.log;|" \
      -e "s|worker_connections 768;|worker_connections $connections;|" \
      -e "s|access_log /var/log/nginx/access.log;|log_format timed '\$msec \$request_method \$uri \$status \$upstream_cache_status';\n\taccess_log $folder/logs/access.log timed;\n\tclient_body_temp_path $folder/tmp/body;\n\tproxy_temp_path $folder/tmp/proxy;\n\tfastcgi_temp_path $folder/tmp/fastcgi;\n\tuwsgi_temp_path $folder/tmp/uwsgi;\n\tscgi_temp_path $folder/tmp/scgi;|" \
      -e "s|include /etc/nginx/conf.d/\*.conf;||" \
      -e "s|include /etc/nginx/sites-enabled/\*;|include $folder/conf/sites-enabled/*;|" \
      /etc/nginx/nginx.conf > "$folder/conf/nginx.conf"
  [ "$(id -u)" -eq 0 ] || sed -i '/^user /d' "$folder/conf/nginx.conf"
  if grep -E '^[^#]*(/run/|/var/log/|/etc/nginx/(conf\.d|sites))' "$folder/conf/nginx.conf" ||
     ! grep -q "worker_connections $connections;" "$folder/conf/nginx.conf"; then
    fail "Debian's nginx.conf is not as this test knows it"
  fi
}

# A site file with its paths and ports filled in: every text given as
# "FROM|TO" replaced (in that order), and the IPv6 listen lines left out. No
# path, name or port of the real machine may stay.
fill_site() {  # site-file out replacements...
  local in=$1 out=$2 pair
  shift 2
  cp "$in" "$out"
  for pair in "$@"; do
    FROM=${pair%%|*} TO=${pair#*|} perl -pi -e 's/\Q$ENV{FROM}\E/$ENV{TO}/g' "$out"
  done
  sed -i '/listen \[::\]/d' "$out"
  if grep -nE '^[^#]*([[:space:]"](/etc|/srv|/var)/|example\.jp|listen (80|443)[ ;])' "$out"; then
    fail "a path of the real machine stays in the filled site file"
  fi
}

# Starts nginx of FOLDER (its conf/ made by debian_nginx_conf and the sites
# put in conf/sites-enabled); the project's shared pieces go to conf/quendro/.
start_nginx() {  # folder
  local folder=$1
  mkdir -p "$folder/conf/quendro"
  cp "$source_dir"/scripts/publisher/*.conf "$folder/conf/quendro/"
  if ! nginx -p "$folder/" -c "$folder/conf/nginx.conf" -e "$folder/logs/error.log" \
       2>>"$folder/logs/start.log"; then
    cat "$folder/logs/start.log" >&2
    fail "nginx of $folder did not start"
  fi
  started_nginx+=("$folder")
}

stop_nginx_all() {
  local folder pid
  for folder in "${started_nginx[@]}"; do
    pid=$(cat "$folder/nginx.pid" 2>/dev/null) || continue
    kill -QUIT "$pid" 2>/dev/null || true
    for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -TERM "$pid" 2>/dev/null || true
  done
}

# The public site of scripts/public/quendro-site.conf on HTTP_PORT and
# HTTPS_PORT as localhost, in $work/origin: the viewer's and the season
# tree's folders in $work/srv (empty), certbot's in $work/acme, the user
# "meet" with PASSWORD.
start_public_site() {  # http-port https-port password
  local http=$1 https=$2 password=$3 origin=$work/origin
  make_site_certificate "$work"
  debian_nginx_conf "$origin" 4096
  fill_site "$source_dir/scripts/public/quendro-site.conf" "$origin/conf/sites-enabled/quendro" \
    "https://swim.example.jp|https://localhost:$https" \
    "listen 80;|listen 127.0.0.1:$http;" \
    "listen 443 ssl http2 backlog=4096;|listen 127.0.0.1:$https ssl http2 backlog=4096;" \
    "/etc/letsencrypt/|$work/letsencrypt/" "/srv/quendro|$work/srv" "/var/www/html|$work/acme" \
    "swim.example.jp|localhost"
  mkdir -p "$origin/conf/quendro" "$work/srv/swim" "$work/srv/web" "$work/acme"
  cp "$source_dir/scripts/public/writers.conf" "$origin/conf/quendro/"
  printf '%s\n' "$password" |
    "$source_dir/scripts/public/password.sh" meet "$origin/conf/quendro/htpasswd" >/dev/null
  # nginx's workers write the tree and the viewer's folder, as on the server.
  if [ "$(id -u)" -eq 0 ]; then
    chown -R www-data:www-data "$work/srv"
  fi
  start_nginx "$origin"
}

started_nginx=()
