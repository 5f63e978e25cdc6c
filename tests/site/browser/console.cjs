// Logs in to the served console in headless Chromium, as a person would, and
// checks what the browser shows: the frame set, the navigation bar's pictures,
// the summary page, the help window, an error page taking the whole window,
// a page of another port that tries to change the administrators, and
// logout; the import reached from the summary page; people chosen in the
// person selector as an administrator and as an attribute's modifier, and the
// new administrator logging in; real-world data (an accented heading, a CSV
// import and its download). Keeps a screenshot of the console and the
// downloaded file.
//
// usage: node console.cjs CONSOLE_URL UID PASSWORD SCREENSHOT PROFILE_DIR
//                         NEW_ADMIN_PASSWORD
// Exit status: 0 all checks passed, 1 a check failed.
'use strict';

const fs = require('fs');
const http = require('http');
const path = require('path');
const { chromium } = require('playwright-core');

const [consoleUrl, uid, password, screenshot, profileDir, newAdminPassword] =
  process.argv.slice(2);
const failures = [];

function check(condition, what) {
  console.log((condition ? 'ok     ' : 'FAILED ') + what);
  if (!condition) failures.push(what);
}

async function frameNamed(page, name) {
  for (let i = 0; i < 100; i++) {
    const frame = page.frame({ name });
    if (frame) return frame;
    await page.waitForTimeout(100);
  }
  throw new Error('no frame named ' + name);
}

// In the selector window that clicking `opener` opens: searches for text
// with the return key, adds the person uid and answers OK, after which the
// window closes and the frame reloads.
async function chooseInSelector(context, frame, opener, text, uid) {
  const [selector] = await Promise.all([context.waitForEvent('page'), frame.click(opener)]);
  await selector.waitForLoadState('load');
  await selector.fill('input[name="q"]', text);
  await Promise.all([selector.waitForNavigation(), selector.press('input[name="q"]', 'Enter')]);
  const found = await selector.$$eval('input[name="pick"]', (boxes) => boxes.map((b) => b.value));
  check(found.includes(uid), 'the selector finds ' + text + ': ' + found.join(', '));
  await selector.check('input[name="pick"][value="' + uid + '"]');
  await Promise.all([selector.waitForNavigation(), selector.click('input[value="Add"]')]);
  check((await selector.$('input[name="chosen"][value="' + uid + '"]')) !== null,
        'the selector adds ' + uid + ' to the choice');
  await Promise.all([
    selector.waitForEvent('close'),
    frame.waitForNavigation(),
    selector.click('input[value="OK"]', { noWaitAfter: true }),
  ]);
  await frame.waitForLoadState('load');
}

// Pictures of a document that did not load.
async function brokenImages(frame) {
  await frame.waitForLoadState('load');
  return frame.evaluate(() =>
    Array.from(document.images)
      .filter((img) => !img.complete || img.naturalWidth === 0)
      .map((img) => img.getAttribute('src')));
}

// Real-world data through the browser: a heading with accents saved and shown
// back; a quoted, accented CSV uploaded, tagged, converted and its download
// saved as a file next to the screenshot.
async function realData(page, navbar, consoleUrl, saveDir) {
  const heading = 'Téléphone (bureau)';
  await navbar.click('img[alt="Customize Additional Info"]');
  let main = await frameNamed(page, 'application_main');
  await main.waitForLoadState('load');
  await Promise.all([main.waitForNavigation(), main.click('img[alt="Add a new field"]')]);
  await main.fill('input[name="fldheading"]', heading);
  await Promise.all([main.waitForNavigation(), main.click('img[alt="Save the new field"]')]);
  const values = await main.$$eval('input[type="text"]', (inputs) => inputs.map((i) => i.value));
  check(values.includes(heading), 'a UTF-8 heading is saved and shown back: ' + values.join(', '));

  const csv = path.join(saveDir, 'people.csv');
  fs.writeFileSync(csv, 'name,city,mail\r\n"López, José","Berlin, Mitte",jl@example.com\r\n' +
                        'Zoë Adams,Oslo,za@example.com\r\n');
  await main.goto(new URL('velmoraadmin.cgi?program=importdata', consoleUrl).href);
  await main.setInputFiles('input[name="fileUploadName"]', csv);
  await Promise.all([main.waitForNavigation(), main.click('a[href="javascript:validateFieldsAndSubmit()"]')]);
  const lower = await frameNamed(page, 'lower');
  await lower.waitForLoadState('load');
  const columns = await lower.$$eval('input[name^="versittag_"]', (inputs) => inputs.length);
  check(columns === 3, 'the quoted header gives three columns (' + columns + ')');
  await lower.fill('input[name="versittag_0"]', 'FN');
  await lower.fill('input[name="versittag_1"]', 'ADR;WORK');
  await lower.fill('input[name="versittag_2"]', 'EMAIL');
  await Promise.all([main.waitForNavigation(), lower.click('a[href="javascript:submitAfterSanitizing()"]')]);
  main = await frameNamed(page, 'application_main');
  await main.waitForSelector('img[alt="Save"]');
  check(/Data successfuly converted/.test(await main.content()), 'the CSV is converted');
  check((await main.getAttribute('a:has(img[alt="Cancel"])', 'target')) === '_top',
        'Cancel on the result page opens in the top window');
  const [download] = await Promise.all([
    page.waitForEvent('download'),
    main.click('img[alt="Save"]'),
  ]);
  const saved = path.join(saveDir, 'data.vcf');
  await download.saveAs(saved);
  const text = fs.readFileSync(saved, 'utf8');
  check(download.suggestedFilename() === 'data.vcf' &&
        text.includes('FN:López, José\nADR;WORK:Berlin, Mitte\nEMAIL:jl@example.com') &&
        text.includes('FN:Zoë Adams'), 'the download is saved as data.vcf with every person');
}

async function main() {
  const context = await chromium.launchPersistentContext(profileDir, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    viewport: { width: 1100, height: 720 },
    acceptDownloads: true,
  });
  const problems = [];
  context.on('weberror', (error) => problems.push('script error: ' + error.error().message));
  context.on('console', (message) => {
    if (message.type() === 'error') problems.push('console error: ' + message.text());
  });
  // The foreign page's image gets a page, not a picture, and the browser
  // drops it; a download ends its navigation, which the browser reports as
  // aborted.
  context.on('requestfailed', (request) => {
    const url = request.url();
    if (!url.includes('dirAdminUidVal=tsato') && !/sub_program=saveAsFile/.test(url)) {
      problems.push('request failed: ' + url);
    }
  });
  context.on('response', (response) => {
    if (response.status() >= 400 && !response.url().endsWith('/favicon.ico')) {
      problems.push('HTTP ' + response.status() + ': ' + response.url());
    }
  });

  try {
    const page = context.pages()[0] || (await context.newPage());
    await page.goto(consoleUrl);
    check((await page.title()) === 'Directory Administration - Login', 'the login page is shown');
    check((await brokenImages(page.mainFrame())).length === 0, 'the login page shows its pictures');

    await page.fill('input[name="login"]', uid);
    await page.fill('input[name="password"]', password);
    await Promise.all([
      page.waitForNavigation(),
      page.click('a[href="javascript:submitForm()"]'),
    ]);
    const navbar = await frameNamed(page, 'application_navbar');
    const main = await frameNamed(page, 'application_main');
    await navbar.waitForLoadState('load');
    await main.waitForLoadState('load');

    const buttons = await navbar.$$eval('a img', (images) => images.map((img) => img.alt));
    check(buttons.length === 10 && buttons[0] === 'Configure Directory Admininstrators' &&
          buttons[9] === 'Logout', 'the navigation bar has its buttons: ' + buttons.join(', '));
    const broken = await brokenImages(navbar);
    check(broken.length === 0, 'every navigation picture loads' + (broken.length ? ': ' + broken : ''));
    const widths = await navbar.evaluate(() =>
      [document.documentElement.scrollWidth, document.documentElement.clientWidth]);
    check(widths[0] <= widths[1], 'the navigation bar fits its frame (' + widths + ')');
    const heading = await main.textContent('h1');
    check(heading === 'Directory Administration', 'the summary page is in the main frame');
    await page.screenshot({ path: screenshot });
    await realData(page, navbar, consoleUrl, path.dirname(screenshot));

    // Help opens in a window of its own.
    const [help] = await Promise.all([
      context.waitForEvent('page'),
      navbar.click('img[alt="View Online Help"]'),
    ]);
    await help.waitForLoadState('load');
    check((await help.title()) === 'Directory Administration Help', 'the help window opens');
    await help.close();

    // Product information opens in the main frame with a bar of its own.
    await navbar.click('img[alt="Product Information and Feedback"]');
    const about = await frameNamed(page, 'about_navbar');
    const aboutMain = await frameNamed(page, 'about_main');
    await about.waitForLoadState('load');
    await aboutMain.waitForLoadState('load');
    const aboutBroken = (await brokenImages(about)).concat(await brokenImages(aboutMain));
    check(aboutBroken.length === 0 && (await about.$$('img')).length === 2,
          'the product information pages show their pictures' +
          (aboutBroken.length ? ': ' + aboutBroken : ''));

    // A request the console does not know answers with the bug report page,
    // which takes over the whole window.
    // The frame goes away while it loads, so its own navigation never ends.
    await main.goto(new URL('velmoraadmin.cgi?program=noSuchPage', consoleUrl).href)
      .catch(() => {});
    await page.waitForFunction(() => /Bug Report Form/.test(document.body ? document.body.innerHTML : ''),
                               null, { timeout: 10000 }).catch(() => {});
    check(page.frames().length === 1 && /Bug Report Form/.test(await page.content()),
          'an error page replaces the frame set');

    // A page of the same host on another port, opened while the
    // administrator is logged in, loads an image and posts a form that
    // would make tsato an administrator. Neither changes anything.
    const console_ = consoleUrl;
    const foreign = http.createServer((request, reply) => {
      reply.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
      reply.end('<html><body>' +
        '<img src="' + console_ + '?program=procconfDirAdmins&dirAdminUidVal=tsato">' +
        '<form method="post" action="' + console_ + '">' +
        '<input type="hidden" name="program" value="procconfDirAdmins">' +
        '<input type="hidden" name="dirAdminUidVal" value="tsato"></form>' +
        '<script>window.onload = function () { document.forms[0].submit(); };</script>' +
        '</body></html>');
    });
    await new Promise((resolve) => foreign.listen(0, '127.0.0.1', resolve));
    try {
      const other = await context.newPage();
      const answered = other.waitForResponse((r) => r.request().method() === 'POST');
      await other.goto('http://127.0.0.1:' + foreign.address().port + '/');
      await (await answered).finished();
      await other.waitForLoadState('load');
      check(/The change was not made: the request did not come from the console/.test(
        await other.content()), 'a form posted from another port is refused');
      await other.goto(new URL('velmoraadmin.cgi?program=genDirAdminsConfPage', consoleUrl).href);
      const admins = await other.$$eval('input[name="dirAdminUidVal"]',
                                        (boxes) => boxes.map((box) => box.value));
      check(admins.join(',') === uid, 'the administrators are unchanged: ' + admins);
      await other.close();
    } finally {
      foreign.close();
    }

    // Back to the console, then log out through the navigation bar.
    await page.goto(consoleUrl);
    const navbarAgain = await frameNamed(page, 'application_navbar');
    await navbarAgain.waitForLoadState('load');
    page.once('dialog', (dialog) => dialog.accept());
    await Promise.all([
      page.waitForNavigation(),
      navbarAgain.click('img[alt="Logout"]'),
    ]);
    await page.waitForLoadState('load');
    check(page.frames().length === 1 && /You have been logged out/.test(await page.content()),
          'logout shows the login page in the whole window');
    await page.goto(consoleUrl);
    check((await page.title()) === 'Directory Administration - Login',
          'after logout the console asks for a login again');

    // The return key in the password field logs in as well.
    await page.fill('input[name="login"]', uid);
    await page.fill('input[name="password"]', password);
    await Promise.all([page.waitForNavigation(), page.press('input[name="password"]', 'Enter')]);
    await frameNamed(page, 'application_navbar');
    check(page.frames().length === 3, 'the return key in the login form logs in');

    // The summary page leads to the import.
    const start = await frameNamed(page, 'application_main');
    await start.waitForLoadState('load');
    await Promise.all([start.waitForNavigation(), start.click('a:has-text("Import Data")')]);
    check((await start.title()) === 'Import Data' &&
          (await start.$('input[name="fileUploadName"]')) !== null,
          'the summary page opens the import');

    // A new administrator chosen in the selector, saved, and logging in.
    const bar = await frameNamed(page, 'application_navbar');
    await Promise.all([start.waitForNavigation(),
                       bar.click('img[alt="Configure Directory Admininstrators"]')]);
    await start.waitForLoadState('load');
    await chooseInSelector(context, start, 'img[alt="Select people to be webmasters"]',
                           'mia ol', 'molsen');
    const admins = await start.$$eval('input[name="dirAdminUidVal"]:checked',
                                      (boxes) => boxes.map((b) => b.value));
    check(admins.includes('molsen') && admins.includes(uid),
          'the console shows the chosen administrator: ' + admins.join(', '));
    await Promise.all([start.waitForNavigation(),
                       start.click('img[alt="Save this set of webmasters"]')]);
    check(/Mia Olsen/.test(await start.content()), 'the new administrator is saved');

    // An attribute's modifier chosen in the selector.
    await start.goto(new URL('velmoraadmin.cgi?program=attribModifyPeople&attribId=TITLE',
                             consoleUrl).href);
    await chooseInSelector(context, start,
                           'img[alt="Add/Delete list of people who can modify this attribute"]',
                           'MOLS', 'molsen');
    check((await start.$('input[name="attrib_uid_val"][value="molsen"]:checked')) !== null,
          'the attribute page lists the chosen modifier');
    await start.check('input[name="accessControl"][value="YES"]');
    await Promise.all([start.waitForNavigation(), start.click('img[alt="Save"]')]);
    check((await start.$('input[name="attrib_uid_val"][value="molsen"]')) !== null,
          'the modifier is saved and offered as an approver');

    await page.goto(new URL('velmoraadmin.cgi?program=app_common_prog_logout', consoleUrl).href);
    await page.fill('input[name="login"]', 'molsen');
    await page.fill('input[name="password"]', newAdminPassword);
    await Promise.all([page.waitForNavigation(), page.press('input[name="password"]', 'Enter')]);
    await frameNamed(page, 'application_navbar');
    check(page.frames().length === 3, 'the new administrator logs in');
  } finally {
    await context.close();
  }
  for (const problem of problems) console.log('problem: ' + problem);
  check(problems.length === 0, 'no script error, console error or failed request');
}

main().then(
  () => {
    console.log(failures.length ? failures.length + ' checks failed' : 'all checks passed');
    process.exit(failures.length ? 1 : 0);
  },
  (error) => {
    console.log('FAILED ' + (error && error.stack ? error.stack : error));
    process.exit(1);
  });
