// A static file server on 127.0.0.1 for the browser tests: the built site as a web host
// would serve it, with the right types for modules and workers. With `lastModified` it
// answers as the default of common static servers does: Last-Modified and no Cache-Control,
// and 304 to a request whose copy is as new; `requests` lists the paths asked for.
import { createServer } from 'node:http';
import { readFile, stat } from 'node:fs/promises';
import { extname, join, normalize } from 'node:path';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/json',
  '.png': 'image/png',
  '.svg': 'image/svg+xml',
  '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json',
};

export function serve(root, { lastModified = false } = {}) {
  const requests = [];
  const server = createServer(async (req, res) => {
    const path = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    requests.push(path);
    const file = normalize(join(root, path.endsWith('/') ? `${path}index.html` : path));
    if (!file.startsWith(normalize(root))) {
      res.writeHead(403).end();
      return;
    }
    try {
      const headers = { 'Content-Type': TYPES[extname(file)] ?? 'application/octet-stream' };
      if (lastModified) {
        const modified = new Date(Math.floor((await stat(file)).mtimeMs / 1000) * 1000);
        const since = Date.parse(req.headers['if-modified-since'] ?? '');
        if (since >= modified.getTime()) {
          res.writeHead(304).end();
          return;
        }
        headers['Last-Modified'] = modified.toUTCString();
      }
      const body = await readFile(file);
      res.writeHead(200, headers);
      res.end(body);
    } catch {
      res.writeHead(404).end();
    }
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () =>
      resolve({ server, requests, url: `http://127.0.0.1:${server.address().port}/` }),
    );
  });
}
