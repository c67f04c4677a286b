// The web page's end-to-end test in Debian's Chromium (no browser download).
import { defineConfig } from '@playwright/test';

export default defineConfig({
  testDir: '.',
  testMatch: '*.spec.mjs',
  outputDir: process.env.DULMERI_WEB_TEST_OUTPUT || 'test-results',
  workers: 1,
  timeout: 60_000,
  forbidOnly: true,
  reporter: [['list']],
  use: {
    viewport: { width: 640, height: 480 },
    launchOptions: {
      executablePath: process.env.DULMERI_CHROMIUM || '/usr/bin/chromium',
      // Scroll bars as a user sees them (Playwright hides them by default).
      ignoreDefaultArgs: ['--hide-scrollbars'],
      args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
             '--disable-sync', '--no-first-run'],
    },
  },
});
