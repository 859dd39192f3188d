#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A tile server on the loopback address for one test: it writes its port to a file,
# serves one solid PNG fresh for an hour (500 under /fail), logs each request's path and
# User-Agent, and stops when the stop file appears. It also writes two tile sets, one
# XYZ and one TMS, with tiles at zooms 3 and 4 whose row of the sample's tracks (row 5
# at zoom 4, from the north) is the green PNG and every other tile the red one.
#
# With a PNG file as a second argument, the server serves that tile instead (pictures
# for the documentation).
#
#   tile_server.py FOLDER [TILE.png]
import http.server, os, sqlite3, struct, sys, time, zlib
folder = sys.argv[1]
def png(rgb):
    row = b'\x00' + bytes(rgb) * 16
    body = zlib.compress(row * 16)
    chunk = lambda kind, data: (struct.pack('>I', len(data)) + kind + data +
                                struct.pack('>I', zlib.crc32(kind + data)))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', 16, 16, 8, 2, 0, 0, 0)) +
            chunk(b'IDAT', body) + chunk(b'IEND', b''))
green, red = png((0, 200, 0)), png((200, 0, 0))
open(os.path.join(folder, 'green.png'), 'wb').write(green)
served = open(sys.argv[2], 'rb').read() if len(sys.argv) > 2 else green
for scheme in ('xyz', 'tms'):
    db = sqlite3.connect(os.path.join(folder, scheme + '.mbtiles'))
    db.execute('CREATE TABLE metadata (name TEXT, value TEXT)')
    db.execute('CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, tile_data BLOB)')
    db.executemany('INSERT INTO metadata VALUES (?, ?)', [('minzoom', '3'), ('maxzoom', '4'), ('scheme', scheme)])
    for z in (3, 4):
        n = 1 << z
        for x in range(n):
            for y in range(n):
                db.execute('INSERT INTO tiles VALUES (?, ?, ?, ?)',
                           (z, x, y if scheme == 'xyz' else n - 1 - y, green if z == 4 and y == 5 else red))
    db.commit()
log = open(os.path.join(folder, 'requests.log'), 'a', buffering=1)
class Tiles(http.server.BaseHTTPRequestHandler):
    timeout = 10  # a connection that never sends its request cannot hold the server
    def do_GET(self):
        log.write('%s|%s\n' % (self.path, self.headers.get('User-Agent', '')))
        if self.path.startswith('/fail'):
            self.send_response(500); self.end_headers(); return
        self.send_response(200)
        self.send_header('Cache-Control', 'max-age=3600')
        self.send_header('Content-Length', str(len(served)))
        self.end_headers()
        self.wfile.write(served)
    def log_message(self, *args):
        pass
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Tiles)
server.daemon_threads = True
server.timeout = 0.2
open(os.path.join(folder, 'port.new'), 'w').write(str(server.server_address[1]))
os.rename(os.path.join(folder, 'port.new'), os.path.join(folder, 'port'))
# Ends when the test says so, when its folder is gone, or after ten minutes at most.
deadline = time.monotonic() + 600
while (os.path.isdir(folder) and not os.path.exists(os.path.join(folder, 'stop')) and
       time.monotonic() < deadline):
    server.handle_request()
