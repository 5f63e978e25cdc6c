// Walks every flow of the served console in headless Chromium as an administrator
// would; any script error, failed request or unexpected dialog fails the walk, and
// each flow leaves a screenshot in SHOT_DIR. Exits 1 when a check failed.
// usage: node console.cjs CONSOLE_URL UID PASSWORD SHOT_DIR PROFILE_DIR NEW_ADMIN_PASSWORD
'use strict';

const fs = require('fs');
const http = require('http');
const path = require('path');
const { chromium } = require('playwright-core');

const [consoleUrl, uid, password, shotDir, profileDir, newAdminPassword] = process.argv.slice(2);
const failures = [], problems = [];
let context, page, expectedDialog = null;

function check(condition, what) {
  console.log((condition ? 'ok     ' : 'FAILED ') + what);
  if (!condition) failures.push(what);
}
const report = () => problems.forEach((problem) => console.log('problem: ' + problem));

const programUrl = (program) => new URL('velmoraadmin.cgi?program=' + program, consoleUrl).href;
// The whole window shows a page matching pattern, without frames.
const wholeWindow = async (pattern, what) => check(page.frames().length === 1 && pattern.test(await page.content()), what);
const bodyText = async (frame) => (await frame.innerText('body')).replace(/\s+/g, ' ');
// Checks that condition holds and the frame's text matches every pattern.
async function shows(frame, what, patterns, condition = true) {
  const text = await bodyText(frame);
  check(condition && patterns.every((pattern) => pattern.test(text)), what + ': ' + text);
}
// A file written next to the screenshots; its path.
function writeFile(name, data) {
  fs.mkdirSync(path.dirname(path.join(shotDir, name)), { recursive: true });
  fs.writeFileSync(path.join(shotDir, name), data);
  return path.join(shotDir, name);
}

// A screenshot of the window, whose frames must show no undecodable text.
async function shot(name) {
  const shown = await Promise.all(page.frames().map((frame) => frame.evaluate(() => document.body?.innerText ?? '')));
  check(!shown.some((text) => text.includes('\uFFFD')), name + ': every frame shows its text');
  await page.screenshot({ path: path.join(shotDir, name + '.png') });
}

// Only a confirmation the flow asks for next is accepted; any other dialog is a problem and is dismissed.
function watchDialogs(target) {
  target.on('dialog', async (dialog) => {
    const wanted = dialog.type() === 'confirm' && dialog.message() === expectedDialog;
    if (!wanted) problems.push('unexpected ' + dialog.type() + ': ' + dialog.message());
    expectedDialog = null;
    await (wanted ? dialog.accept() : dialog.dismiss());
  });
}

async function frameNamed(name) {
  for (let i = 0, frame; i < 100; i++, await page.waitForTimeout(100)) {
    if ((frame = page.frame({ name }))) return frame.waitForLoadState('load').then(() => frame);
  }
  throw new Error('no frame named ' + name);
}

// Clicks selector in where (frame unless given; a key name presses it) and waits for frame's next page.
async function follow(frame, selector, where = frame, key = null) {
  await Promise.all([frame.waitForNavigation(), key ? where.press(selector, key) : where.click(selector)]);
  await frame.waitForLoadState('load');
}
const alt = (text) => 'img[alt="' + text + '"]';
// Clicks the buttons one after another, each on the page the one before led to.
async function press(frame, ...buttons) {
  for (const button of buttons) await follow(frame, alt(button));
}

// The main frame after a click on a button of the navigation bar.
async function open(button) {
  const main = await frameNamed('application_main');
  await follow(main, alt(button), await frameNamed('application_navbar'));
  return main;
}

async function fill(frame, fields) {
  for (const [name, value] of Object.entries(fields)) await frame.fill('input[name="' + name + '"]', value);
}
const count = async (frame, selector) => (await frame.$$(selector)).length;
const envelopes = (frame) => count(frame, 'img[src$="menvelopeicon.gif"]');
// The window a click on selector in frame opens, loaded.
async function popup(frame, selector) {
  const [opened] = await Promise.all([context.waitForEvent('page'), frame.click(selector)]);
  await opened.waitForLoadState('load');
  return opened;
}

const values = (frame, selector) => frame.$$eval(selector, (all) => all.map((e) => e.value));
const texts = (frame, selector) => frame.$$eval(selector, (all) => all.map((e) => e.textContent));

// Every picture of the frames' documents loaded.
async function picturesLoad(what, ...frames) {
  const broken = [];
  for (const frame of frames) {
    await frame.waitForLoadState('load');
    broken.push(...await frame.evaluate(() => Array.from(document.images)
      .filter((img) => !img.complete || img.naturalWidth === 0).map((img) => img.getAttribute('src'))));
  }
  check(broken.length === 0, what + ' ' + broken);
}

// In the selector opener opens: searches text (return key), adds who, answers OK; the frame reloads.
async function chooseInSelector(frame, opener, text, who) {
  const selector = await popup(frame, opener);
  await selector.fill('input[name="q"]', text);
  await follow(selector, 'input[name="q"]', selector, 'Enter');
  const found = await values(selector, 'input[name="pick"]');
  check(found.includes(who), 'the selector finds ' + text + ': ' + found.join(', '));
  await selector.check('input[name="pick"][value="' + who + '"]');
  await follow(selector, 'input[value="Add"]');
  await Promise.all([selector.waitForEvent('close'), frame.waitForNavigation(),
                     selector.click('input[value="OK"]', { noWaitAfter: true })]);
  await frame.waitForLoadState('load');
}

// With the return key, or with a click on the login link when link is set.
async function logIn(who, secret, link = false) {
  await fill(page, { login: who, password: secret });
  await (link ? follow(page.mainFrame(), 'a[href="javascript:submitForm()"]')
    : follow(page.mainFrame(), 'input[name="password"]', page, 'Enter'));
}
const isLoginPage = async () => (await page.title()) === 'Directory Administration - Login';

// Refusals, then the frame set with its navigation bar, help and product information.
async function login() {
  await page.goto(consoleUrl);
  check(await isLoginPage(), 'the login page is shown');
  await picturesLoad('the login page shows its pictures', page.mainFrame());
  for (const [who, secret, answer] of [[uid, 'wrong', 'Incorrect password, please try again'],
    ['lschmidt', password, 'You are not on the list of valid administrators.']]) {
    await logIn(who, secret);
    const shown = await texts(page, 'h2');
    check(shown.includes(answer), who + ' is refused: ' + shown);
  }
  await logIn(uid, password, true);
  const navbar = await frameNamed('application_navbar');
  const main = await frameNamed('application_main');
  const buttons = await navbar.$$eval('a img', (all) => all.map((img) => img.alt));
  check(buttons.length === 10 && buttons[0] === 'Configure Directory Admininstrators' &&
        buttons[9] === 'Logout', 'the navigation bar has its buttons: ' + buttons.join(', '));
  await picturesLoad('every navigation picture loads', navbar);
  const widths = await navbar.evaluate(() => [document.documentElement.scrollWidth, document.documentElement.clientWidth]);
  check(widths[0] <= widths[1], 'the navigation bar fits its frame (' + widths + ')');
  check((await main.textContent('h1')) === 'Directory Administration', 'the summary page is shown');
  const signature = (await context.cookies()).find((c) => c.name === 'KavriSessionSig');
  check(signature && signature.httpOnly, 'the session signature is kept from scripts');
  await shot('login');

  const help = await popup(navbar, alt('View Online Help'));
  check((await help.title()) === 'Directory Administration Help', 'the help window opens');
  await help.close();
  await navbar.click(alt('Product Information and Feedback'));
  const about = await frameNamed('about_navbar');
  await picturesLoad('the product information pages show their pictures', about, await frameNamed('about_main'));
  check((await count(about, 'img')) === 2, 'the product information bar has its two pictures');
  await shot('about');
  await page.goto(consoleUrl);
}

// Business card or person page: a heading changed and saved, a row moved down, the order saved.
async function labels(button, name) {
  const main = await open(button);
  const rows = await values(main, 'input[name^="newentry_val_"]');
  const checked = await main.$$eval('input[name^="checkbox_"]', (all) => all.map((b) => b.checked));
  const row = checked.findIndex((on, i) => on && i > 0);
  const heading = 'Büro ' + name;
  await main.fill('input[name="newentry_val_' + row + '"]', heading);
  await follow(main, alt('Save the values'));
  const shown = await texts(main, 'i');
  check(shown.includes(heading), name + ': the changed heading is in the order: ' + shown);
  const before = await texts(main, 'td > b');
  await follow(main, alt('Move the label down one step'));
  const after = await texts(main, 'td > b');
  check(after[1] === before[2] && after[2] === before[1], name + ': the arrow moves the second row down: ' + after);
  await follow(main, alt('Save ordering of labels'));
  await shot(name);
  const saved = await open(button);
  const now = await values(saved, 'input[name^="newentry_val_"]');
  check(now.includes(heading) && rows.length === now.length, name + ': the saved heading is offered again');
}

// A field with an accented heading added, saved and reordered, then deleted after its confirmation.
async function additionalFields() {
  const heading = 'Téléphone (bureau)';
  let main = await open('Customize Additional Info');
  await follow(main, alt('Add a new field'));
  await fill(main, { fldheading: heading });
  await follow(main, alt('Save the new field'));
  const headings = await values(main, 'input[type="text"]');
  check(headings[0] === heading, 'a UTF-8 heading is saved and shown first: ' + headings);
  await press(main, 'Save all changes', 'Move the label down one step', 'Save ordering of labels');
  const order = await texts(main, 'td > b');
  check(order[0] === 'Office Room' && order[2] === heading, 'the new order is saved: ' + order);
  await shot('additional');
  main = await open('Customize Additional Info');
  const desc = await main.$eval('input[value="' + heading + '"]', (input) => input.name);
  expectedDialog = 'Do you really want to delete the field ' + heading + ' ?';
  await follow(main, 'input[name="' + desc + '"] >> xpath=preceding::a[1]');
  check((await main.textContent('h2')) === desc + ' deleted successfully' &&
        !(await values(main, 'input[type="text"]')).includes(heading), 'the field is deleted');
}

// A quoted, accented CSV reached from the summary page, tagged, converted and downloaded.
async function importWithDownload() {
  const csv = writeFile('people.csv', 'name,city,mail\r\n"López, José","Berlin, Mitte",jl@example.com\r\n' +
                                     'Zoë Adams,Oslo,za@example.com\r\n');
  const main = await frameNamed('application_main');
  await main.goto(new URL('../help/diradmin_sum.htm', consoleUrl).href);
  await follow(main, 'a:has-text("Import Data")');
  await main.setInputFiles('input[name="fileUploadName"]', csv);
  await follow(main, 'a[href="javascript:validateFieldsAndSubmit()"]');
  const lower = await frameNamed('lower');
  const columns = await count(lower, 'input[name^="versittag_"]');
  check(columns === 3, 'the quoted header gives three columns (' + columns + ')');
  await fill(lower, { versittag_0: 'FN', versittag_1: 'ADR;WORK', versittag_2: 'EMAIL' });
  await follow(main, 'a[href="javascript:submitAfterSanitizing()"]', lower);
  await main.waitForSelector(alt('Save'));
  check(/Data successfuly converted/.test(await main.content()), 'the CSV is converted');
  check((await main.getAttribute('a:has(img[alt="Cancel"])', 'target')) === '_top',
        'Cancel on the result page opens in the top window');
  await shot('import');
  const [download] = await Promise.all([page.waitForEvent('download'), main.click(alt('Save'))]);
  const saved = path.join(shotDir, 'data.vcf');
  await download.saveAs(saved);
  const text = fs.readFileSync(saved, 'utf8');
  check(download.suggestedFilename() === 'data.vcf' &&
        text.includes('FN:López, José\nADR;WORK:Berlin, Mitte\nEMAIL:jl@example.com') &&
        text.includes('FN:Zoë Adams'), 'the download is saved as data.vcf with every person');
}

// The sample directory and 200 more people indexed after the confirmation, with progress shown.
async function employeeData() {
  let cards = fs.readFileSync(path.join(__dirname, '../../../site/sample/data.vcf'), 'utf8');
  for (let i = 0; i < 200; i++) cards += 'BEGIN:VCARD\nFN:Extra ' + i + '\nUID:extra' + i + '\nEND:VCARD\n';
  const file = writeFile('employees.vcf', cards);
  const main = await open('Configure Employee Data');
  await main.setInputFiles('input[name="dataFile"]', file);
  expectedDialog = 'Indexing will overwrite the existing data.\nDo you want to continue?';
  await follow(main, alt('Index the data file'));
  await shows(main, 'the file is indexed with its progress', [/350 records processed.*440 cards loaded/, /^(?!.*Error)/]);
  await shot('employees');
}

// One known and one unknown person's photograph brought over; a fixed size stored and offered again.
async function photos() {
  const gif = Buffer.from('R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7', 'base64');
  writeFile('photos/nobody-here.gif', gif);
  const folder = path.dirname(writeFile('photos/' + uid + '.gif', gif));
  let main = await open('Customize Photos');
  await fill(main, { photosDir: folder, photoHeight: '120', photoWidth: '90' });
  await main.check('input[value="fixedSize"]');
  await follow(main, alt('Save'));
  await shows(main, 'the photographs and the size are taken',
              [/Photographs were brought over!/, /nobody-here\.gif/, /Fixed Size\(90W x 120H\)\./]);
  await shot('photos');
  main = await open('Customize Photos');
  check((await values(main, 'input[name="photoHeight"], input[name="photoWidth"]')).join() === '120,90' &&
        (await main.isChecked('input[value="fixedSize"]')), 'the stored size is offered again');
}

// A new administrator chosen in the selector and saved.
async function administrators() {
  const main = await open('Configure Directory Admininstrators');
  await chooseInSelector(main, alt('Select people to be webmasters'), 'mia ol', 'molsen');
  const admins = await values(main, 'input[name="dirAdminUidVal"]:checked');
  check(admins.includes('molsen') && admins.includes(uid), 'the chosen administrator is shown: ' + admins);
  await follow(main, alt('Save this set of webmasters'));
  await shows(main, 'the new administrator is saved', [/Mia Olsen/]);
  await shot('administrators');
}

// An attribute's modifier chosen in the selector and made its approver; who may add entries and who
// is told; the same for deletions with the administrators only.
async function accessControl() {
  const main = await frameNamed('application_main');
  await main.goto(programUrl('accessControlDisplay'));
  const tabs = await frameNamed('tabsFrame');
  await tabs.click(alt('Add/Delete list of people who can modify data entries'));
  const list = await frameNamed('attribListFrame');
  const attrib = await frameNamed('attribMainFrame');
  await Promise.all([attrib.waitForNavigation(), list.selectOption('select[name="adminAttribute"]', 'TITLE')]);
  await follow(attrib, alt('Add/Delete list of people who can modify this attribute'));
  await chooseInSelector(attrib, alt('Add/Delete list of people who can modify this attribute'), 'MOLS', 'molsen');
  await attrib.check('input[name="accessControl"][value="YES"]');
  check(await attrib.isChecked('input[name="attrib_uid_val"][value="molsen"]'),
        'the attribute page lists the chosen modifier');
  await follow(attrib, alt('Save'));
  await attrib.check('input[name="attrib_uid_val"][value="molsen"]');
  await follow(attrib, alt('Save'));
  await shows(attrib, 'the modifier approves changes', [/can modify attribute TITLE/, /Mia Olsen/],
              (await envelopes(attrib)) === 1);
  await shot('attributes');

  for (const [oper, who] of [['add', 'molsen'], ['delete', null]]) {
    const frame = await frameNamed('accessControlMainFrame');
    await follow(frame, alt('Add/Delete list of people who can ' + oper + ' data entries'), tabs);
    await follow(frame, alt('Add/Delete list of people who can modify this operation'));
    await frame.check('input[name="adminCheckbox"]');
    if (who) {
      await chooseInSelector(frame, alt('Add/Delete list of people who can modify this attribute'), 'olsen', who);
    }
    await follow(frame, alt('Save'));
    await frame.check('input[name="adminCheckbox"]');
    if (who) await frame.check('input[name="oper_uid_val"][value="' + who + '"]');
    await follow(frame, alt('Save'));
    await shows(frame, oper + ': modifiers and notify list saved',
                [/The following people can/, who ? /Mia Olsen/ : /^(?!.*Mia Olsen)/], (await envelopes(frame)) === (who ? 2 : 1));
    await shot('operation-' + oper);
  }
  await page.goto(consoleUrl);
}

async function accounts() {
  const main = await open('Generate all user accounts');
  await follow(main, alt('Generate accounts for all users'));
  check((await main.textContent('h2')) === 'All accounts were successfully generated. !!',
        'the accounts are generated');
  await shot('accounts');
}

// An unknown request answers with the bug report page, which takes over the whole window
// (so the frame's own navigation never ends).
async function errorPage() {
  const main = await frameNamed('application_main');
  await main.goto(programUrl('noSuchPage')).catch(() => {});
  await page.waitForFunction(() => /Bug Report Form/.test(document.body ? document.body.innerHTML : ''),
                             null, { timeout: 10000 }).catch(() => {});
  await wholeWindow(/Bug Report Form/, 'an error page replaces the frame set');
  await shot('error');
}

// A page on another port of the host, opened while logged in, loads an image and posts a form that
// would make tsato an administrator. Neither changes anything.
async function foreignPage() {
  const foreign = http.createServer((request, reply) => {
    reply.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
    reply.end('<html><body><img src="' + consoleUrl + '?program=procconfDirAdmins&dirAdminUidVal=tsato">' +
      '<form method="post" action="' + consoleUrl + '">' +
      '<input type="hidden" name="program" value="procconfDirAdmins">' +
      '<input type="hidden" name="dirAdminUidVal" value="tsato"></form>' +
      '<script>window.onload = function () { document.forms[0].submit(); };</script></body></html>');
  });
  await new Promise((resolve) => foreign.listen(0, '127.0.0.1', resolve));
  try {
    const other = await context.newPage();
    const answered = other.waitForResponse((r) => r.request().method() === 'POST');
    await other.goto('http://127.0.0.1:' + foreign.address().port + '/');
    await (await answered).finished();
    await other.waitForLoadState('load');
    await shows(other.mainFrame(), 'a form posted from another port is refused',
                [/The change was not made: the request did not come from the console/]);
    await other.goto(programUrl('genDirAdminsConfPage'));
    const admins = await values(other, 'input[name="dirAdminUidVal"]');
    check(!admins.includes('tsato'), 'the administrators are unchanged: ' + admins);
    await other.close();
  } finally {
    foreign.close();
  }
}

// Logout after its confirmation, then the new administrator logs in where the login was asked for.
async function logout() {
  await page.goto(consoleUrl);
  expectedDialog = 'Do you really want to logout ?';
  await follow(page.mainFrame(), alt('Logout'), await frameNamed('application_navbar'));
  await wholeWindow(/You have been logged out/, 'logout shows the login page in the whole window');
  await page.goto(programUrl('navbar'));
  check(await isLoginPage(), 'after logout the console asks for a login');
  await shot('logout');
  await logIn('molsen', newAdminPassword);
  check((await count(page, alt('Customize Photos'))) === 1,
        'the new administrator logs in and gets the page asked for');
}

async function main() {
  context = await chromium.launchPersistentContext(profileDir, {
    executablePath: '/usr/bin/chromium', headless: true, viewport: { width: 1100, height: 720 },
    acceptDownloads: true, args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic',
      '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'] });
  context.on('weberror', (error) => problems.push('script error: ' + error.error().message));
  context.on('console', (message) => message.type() === 'error' && problems.push('console error: ' + message.text()));
  context.on('page', watchDialogs);
  // The foreign page's image gets a page, which the browser drops; a download ends its navigation,
  // which the browser reports as aborted.
  context.on('requestfailed', (request) => {
    if (!/dirAdminUidVal=tsato|sub_program=saveAsFile/.test(request.url())) problems.push('request failed: ' + request.url());
  });
  context.on('response', (response) => response.status() >= 400 && !response.url().endsWith('/favicon.ico') &&
    problems.push('HTTP ' + response.status() + ': ' + response.url()));
  try {
    page = context.pages()[0] || (await context.newPage());
    watchDialogs(page);
    for (const flow of [login, () => labels('Customize Business Card', 'card'),
      () => labels('Customize Person Page', 'person'), additionalFields, importWithDownload,
      employeeData, photos, administrators, accessControl, accounts, errorPage, foreignPage, logout]) {
      await flow();
      if (expectedDialog) check(false, 'the confirmation was not asked: ' + expectedDialog);
    }
  } finally {
    await context.close();
  }
  report();
  check(problems.length === 0, 'no script error, console error, failed request or unexpected dialog');
}

main().then(() => {
  console.log(failures.length ? failures.length + ' checks failed' : 'all checks passed');
  process.exit(failures.length ? 1 : 0);
}, (error) => {
  report();
  console.log('FAILED ' + (error && error.stack ? error.stack : error));
  process.exit(1);
});
