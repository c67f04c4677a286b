// A static file server for the site folder on the loopback address: what
// any web server does with the site, and nothing more (unless a test asks to
// rewrite its HTML).
import { readFileSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, resolve } from 'node:path';

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.woff2': 'font/woff2', '.png': 'image/png', '.svg': 'image/svg+xml', '.txt': 'text/plain; charset=utf-8',
  '.webmanifest': 'application/manifest+json' };

// Serves `folder` on 127.0.0.1 at a free port; resolves to the server and its
// address. `rewriteHtml`, when given, changes each HTML page on its way out
// (a test's own script put in before the page's, for a driver that cannot
// add one itself).
export function serve(folder, { rewriteHtml } = {}) {
  const root = resolve(folder);
  const server = createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = resolve(root, '.' + (path.endsWith('/') ? path + 'index.html' : path));
    if (!file.startsWith(root) || !statSync(file, { throwIfNoEntry: false })?.isFile()) {
      response.writeHead(404).end();
      return;
    }
    const type = extname(file);
    response.writeHead(200, { 'Content-Type': TYPES[type] || 'application/octet-stream' });
    const content = readFileSync(file);
    response.end(rewriteHtml && type === '.html' ? rewriteHtml(content.toString('utf8')) : content);
  });
  return new Promise((done) => server.listen(0, '127.0.0.1', () =>
    done({ server, url: `http://127.0.0.1:${server.address().port}/` })));
}
