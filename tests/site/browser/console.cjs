// Walks every flow of the served console once in headless Chromium, as an
// administrator would: login, labels, additional fields, import with its
// download, employee data, photos, administrators and access control through
// the person selector, accounts, the error page, a forged form from another
// port, and logout. Any script error, failed request or dialog the flow does
// not expect fails the walk; each flow leaves a screenshot in SHOT_DIR.
//
// usage: node console.cjs CONSOLE_URL UID PASSWORD SHOT_DIR PROFILE_DIR
//                         NEW_ADMIN_PASSWORD
// Exit status: 0 all checks passed, 1 a check failed.
'use strict';

const fs = require('fs');
const http = require('http');
const path = require('path');
const { chromium } = require('playwright-core');

const [consoleUrl, uid, password, shotDir, profileDir, newAdminPassword] =
  process.argv.slice(2);
const failures = [];
const problems = [];
let context;
let page;
let expectedDialog = null;

function check(condition, what) {
  console.log((condition ? 'ok     ' : 'FAILED ') + what);
  if (!condition) failures.push(what);
}

const programUrl = (program) => new URL('velmoraadmin.cgi?program=' + program, consoleUrl).href;
const bodyText = async (frame) => (await frame.innerText('body')).replace(/\s+/g, ' ');

// A screenshot of the window, whose frames must show no undecodable text.
async function shot(name) {
  const garbled = [];
  for (const frame of page.frames()) {
    const text = await frame.evaluate(() => (document.body ? document.body.innerText : ''));
    if (text.includes('\uFFFD')) garbled.push(frame.url());
  }
  check(garbled.length === 0, name + ': every frame shows its text ' + garbled);
  await page.screenshot({ path: path.join(shotDir, name + '.png') });
}

// Only a confirmation the flow asks for next is accepted; any other dialog
// is a problem and is dismissed.
function watchDialogs(target) {
  target.on('dialog', async (dialog) => {
    const wanted = dialog.type() === 'confirm' && dialog.message() === expectedDialog;
    if (!wanted) problems.push('unexpected ' + dialog.type() + ': ' + dialog.message());
    expectedDialog = null;
    await (wanted ? dialog.accept() : dialog.dismiss());
  });
}

async function frameNamed(name) {
  for (let i = 0; i < 100; i++) {
    const frame = page.frame({ name });
    if (frame) {
      await frame.waitForLoadState('load');
      return frame;
    }
    await page.waitForTimeout(100);
  }
  throw new Error('no frame named ' + name);
}

// Clicks selector in frame and waits for the frame's next page.
async function follow(frame, selector) {
  await Promise.all([frame.waitForNavigation(), frame.click(selector)]);
  await frame.waitForLoadState('load');
}

// The main frame after a click on a button of the navigation bar.
async function open(button) {
  const main = await frameNamed('application_main');
  const navbar = await frameNamed('application_navbar');
  await Promise.all([main.waitForNavigation(), navbar.click('img[alt="' + button + '"]')]);
  await main.waitForLoadState('load');
  return main;
}

const values = (frame, selector) => frame.$$eval(selector, (all) => all.map((e) => e.value));
const texts = (frame, selector) => frame.$$eval(selector, (all) => all.map((e) => e.textContent));

// Pictures of a document that did not load.
async function brokenImages(frame) {
  await frame.waitForLoadState('load');
  return frame.evaluate(() => Array.from(document.images)
    .filter((img) => !img.complete || img.naturalWidth === 0).map((img) => img.getAttribute('src')));
}

// In the selector window that clicking opener opens: searches for text with
// the return key, adds the person who and answers OK, after which the window
// closes and the frame reloads.
async function chooseInSelector(frame, opener, text, who) {
  const [selector] = await Promise.all([context.waitForEvent('page'), frame.click(opener)]);
  await selector.waitForLoadState('load');
  await selector.fill('input[name="q"]', text);
  await Promise.all([selector.waitForNavigation(), selector.press('input[name="q"]', 'Enter')]);
  const found = await values(selector, 'input[name="pick"]');
  check(found.includes(who), 'the selector finds ' + text + ': ' + found.join(', '));
  await selector.check('input[name="pick"][value="' + who + '"]');
  await Promise.all([selector.waitForNavigation(), selector.click('input[value="Add"]')]);
  await Promise.all([selector.waitForEvent('close'), frame.waitForNavigation(),
                     selector.click('input[value="OK"]', { noWaitAfter: true })]);
  await frame.waitForLoadState('load');
}

async function logIn(who, secret) {
  await page.fill('input[name="login"]', who);
  await page.fill('input[name="password"]', secret);
  await Promise.all([page.waitForNavigation(), page.press('input[name="password"]', 'Enter')]);
}

// Refusals, then the frame set with its navigation bar, help and product
// information.
async function login() {
  await page.goto(consoleUrl);
  check((await page.title()) === 'Directory Administration - Login', 'the login page is shown');
  check((await brokenImages(page.mainFrame())).length === 0, 'the login page shows its pictures');
  for (const [who, secret, answer] of [[uid, 'wrong', 'Incorrect password, please try again'],
    ['lschmidt', password, 'You are not on the list of valid administrators.']]) {
    await logIn(who, secret);
    const shown = await texts(page, 'h2');
    check(shown.includes(answer), who + ' is refused: ' + shown);
  }
  await page.fill('input[name="login"]', uid);
  await page.fill('input[name="password"]', password);
  await Promise.all([page.waitForNavigation(), page.click('a[href="javascript:submitForm()"]')]);
  const navbar = await frameNamed('application_navbar');
  const main = await frameNamed('application_main');
  const buttons = await navbar.$$eval('a img', (images) => images.map((img) => img.alt));
  check(buttons.length === 10 && buttons[0] === 'Configure Directory Admininstrators' &&
        buttons[9] === 'Logout', 'the navigation bar has its buttons: ' + buttons.join(', '));
  const broken = await brokenImages(navbar);
  check(broken.length === 0, 'every navigation picture loads ' + broken);
  const widths = await navbar.evaluate(() =>
    [document.documentElement.scrollWidth, document.documentElement.clientWidth]);
  check(widths[0] <= widths[1], 'the navigation bar fits its frame (' + widths + ')');
  check((await main.textContent('h1')) === 'Directory Administration', 'the summary page is shown');
  const signature = (await context.cookies()).find((c) => c.name === 'KavriSessionSig');
  check(signature && signature.httpOnly, 'the session signature is kept from scripts');
  await shot('login');

  const [help] = await Promise.all([context.waitForEvent('page'),
                                    navbar.click('img[alt="View Online Help"]')]);
  await help.waitForLoadState('load');
  check((await help.title()) === 'Directory Administration Help', 'the help window opens');
  await help.close();
  await navbar.click('img[alt="Product Information and Feedback"]');
  const about = await frameNamed('about_navbar');
  const broken2 = (await brokenImages(about)).concat(await brokenImages(await frameNamed('about_main')));
  check(broken2.length === 0 && (await about.$$('img')).length === 2,
        'the product information pages show their pictures ' + broken2);
  await shot('about');
  await page.goto(consoleUrl);
}

// Business card or person page: a heading changed and saved, one row moved
// down with its arrow, the order saved.
async function labels(button, name) {
  const main = await open(button);
  const rows = await values(main, 'input[name^="newentry_val_"]');
  const checked = await main.$$eval('input[name^="checkbox_"]', (all) => all.map((b) => b.checked));
  const row = checked.findIndex((on, i) => on && i > 0);
  const heading = 'Büro ' + name;
  await main.fill('input[name="newentry_val_' + row + '"]', heading);
  await follow(main, 'img[alt="Save the values"]');
  const shown = await texts(main, 'i');
  check(shown.includes(heading), name + ': the changed heading is in the order: ' + shown);
  const before = await texts(main, 'td > b');
  await follow(main, 'img[alt="Move the label down one step"]');
  const after = await texts(main, 'td > b');
  check(after[1] === before[2] && after[2] === before[1],
        name + ': the arrow moves the second row down: ' + after);
  await follow(main, 'img[alt="Save ordering of labels"]');
  await shot(name);
  const saved = await open(button);
  const now = await values(saved, 'input[name^="newentry_val_"]');
  check(now.includes(heading) && rows.length === now.length,
        name + ': the saved heading is offered again');
}

// A field with an accented heading added, the headings saved, the order
// changed and saved, then the field deleted after its confirmation.
async function additionalFields() {
  const heading = 'Téléphone (bureau)';
  let main = await open('Customize Additional Info');
  await follow(main, 'img[alt="Add a new field"]');
  await main.fill('input[name="fldheading"]', heading);
  await follow(main, 'img[alt="Save the new field"]');
  const headings = await values(main, 'input[type="text"]');
  check(headings[0] === heading, 'a UTF-8 heading is saved and shown first: ' + headings);
  await follow(main, 'img[alt="Save all changes"]');
  await follow(main, 'img[alt="Move the label down one step"]');
  await follow(main, 'img[alt="Save ordering of labels"]');
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

// A quoted, accented CSV reached from the summary page, tagged, converted and
// its download saved next to the screenshots.
async function importWithDownload() {
  const csv = path.join(shotDir, 'people.csv');
  fs.writeFileSync(csv, 'name,city,mail\r\n"López, José","Berlin, Mitte",jl@example.com\r\n' +
                        'Zoë Adams,Oslo,za@example.com\r\n');
  const main = await frameNamed('application_main');
  await main.goto(new URL('../help/diradmin_sum.htm', consoleUrl).href);
  await follow(main, 'a:has-text("Import Data")');
  await main.setInputFiles('input[name="fileUploadName"]', csv);
  await follow(main, 'a[href="javascript:validateFieldsAndSubmit()"]');
  const lower = await frameNamed('lower');
  const columns = await lower.$$eval('input[name^="versittag_"]', (inputs) => inputs.length);
  check(columns === 3, 'the quoted header gives three columns (' + columns + ')');
  await lower.fill('input[name="versittag_0"]', 'FN');
  await lower.fill('input[name="versittag_1"]', 'ADR;WORK');
  await lower.fill('input[name="versittag_2"]', 'EMAIL');
  await Promise.all([main.waitForNavigation(), lower.click('a[href="javascript:submitAfterSanitizing()"]')]);
  await main.waitForSelector('img[alt="Save"]');
  check(/Data successfuly converted/.test(await main.content()), 'the CSV is converted');
  check((await main.getAttribute('a:has(img[alt="Cancel"])', 'target')) === '_top',
        'Cancel on the result page opens in the top window');
  await shot('import');
  const [download] = await Promise.all([page.waitForEvent('download'), main.click('img[alt="Save"]')]);
  const saved = path.join(shotDir, 'data.vcf');
  await download.saveAs(saved);
  const text = fs.readFileSync(saved, 'utf8');
  check(download.suggestedFilename() === 'data.vcf' &&
        text.includes('FN:López, José\nADR;WORK:Berlin, Mitte\nEMAIL:jl@example.com') &&
        text.includes('FN:Zoë Adams'), 'the download is saved as data.vcf with every person');
}

// The sample directory and 200 more people uploaded and indexed after the
// confirmation, with the progress shown on the way.
async function employeeData() {
  const file = path.join(shotDir, 'employees.vcf');
  let cards = fs.readFileSync(path.join(__dirname, '../../../site/sample/data.vcf'), 'utf8');
  for (let i = 0; i < 200; i++) cards += 'BEGIN:VCARD\nFN:Extra ' + i + '\nUID:extra' + i + '\nEND:VCARD\n';
  fs.writeFileSync(file, cards);
  const main = await open('Configure Employee Data');
  await main.setInputFiles('input[name="dataFile"]', file);
  expectedDialog = 'Indexing will overwrite the existing data.\nDo you want to continue?';
  await follow(main, 'img[alt="Index the data file"]');
  const text = await bodyText(main);
  check(/350 records processed.*440 cards loaded/.test(text) && !/Error/.test(text),
        'the file is indexed with its progress: ' + text);
  await shot('employees');
}

// A folder with one known and one unknown person's photograph brought over,
// and a fixed display size stored and offered again.
async function photos() {
  const folder = path.join(shotDir, 'photos');
  fs.mkdirSync(folder, { recursive: true });
  const gif = Buffer.from('R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7', 'base64');
  fs.writeFileSync(path.join(folder, uid + '.gif'), gif);
  fs.writeFileSync(path.join(folder, 'nobody-here.gif'), gif);
  let main = await open('Customize Photos');
  await main.fill('input[name="photosDir"]', folder);
  await main.check('input[value="fixedSize"]');
  await main.fill('input[name="photoHeight"]', '120');
  await main.fill('input[name="photoWidth"]', '90');
  await follow(main, 'img[alt="Save"]');
  const text = await bodyText(main);
  check(/Photographs were brought over!/.test(text) && /nobody-here\.gif/.test(text) &&
        /Fixed Size\(90W x 120H\)\./.test(text), 'the photographs and the size are taken: ' + text);
  await shot('photos');
  main = await open('Customize Photos');
  check((await values(main, 'input[name="photoHeight"], input[name="photoWidth"]')).join() === '120,90' &&
        (await main.isChecked('input[value="fixedSize"]')), 'the stored size is offered again');
}

// A new administrator chosen in the selector and saved.
async function administrators() {
  const main = await open('Configure Directory Admininstrators');
  await chooseInSelector(main, 'img[alt="Select people to be webmasters"]', 'mia ol', 'molsen');
  const admins = await values(main, 'input[name="dirAdminUidVal"]:checked');
  check(admins.includes('molsen') && admins.includes(uid), 'the chosen administrator is shown: ' + admins);
  await follow(main, 'img[alt="Save this set of webmasters"]');
  check(/Mia Olsen/.test(await bodyText(main)), 'the new administrator is saved');
  await shot('administrators');
}

// An attribute's modifier chosen in the selector and made its approver; the
// people who may add entries, and who is told when one is added; the same
// for deletions with the administrators only.
async function accessControl() {
  const main = await frameNamed('application_main');
  await main.goto(programUrl('accessControlDisplay'));
  const tabs = await frameNamed('tabsFrame');
  await tabs.click('img[alt="Add/Delete list of people who can modify data entries"]');
  const list = await frameNamed('attribListFrame');
  const attrib = await frameNamed('attribMainFrame');
  await Promise.all([attrib.waitForNavigation(),
                     list.selectOption('select[name="adminAttribute"]', 'TITLE')]);
  await follow(attrib, 'img[alt="Add/Delete list of people who can modify this attribute"]');
  await chooseInSelector(attrib, 'img[alt="Add/Delete list of people who can modify this attribute"]',
                         'MOLS', 'molsen');
  await attrib.check('input[name="accessControl"][value="YES"]');
  check(await attrib.isChecked('input[name="attrib_uid_val"][value="molsen"]'),
        'the attribute page lists the chosen modifier');
  await follow(attrib, 'img[alt="Save"]');
  await attrib.check('input[name="attrib_uid_val"][value="molsen"]');
  await follow(attrib, 'img[alt="Save"]');
  const rule = await bodyText(attrib);
  const approvers = (await attrib.$$('img[src$="menvelopeicon.gif"]')).length;
  check(/can modify attribute TITLE/.test(rule) && /Mia Olsen/.test(rule) && approvers === 1,
        'the modifier approves changes: ' + rule);
  await shot('attributes');

  for (const [oper, who] of [['add', 'molsen'], ['delete', null]]) {
    const frame = await frameNamed('accessControlMainFrame');
    await Promise.all([frame.waitForNavigation(),
                       tabs.click('img[alt="Add/Delete list of people who can ' + oper + ' data entries"]')]);
    await follow(frame, 'img[alt="Add/Delete list of people who can modify this operation"]');
    await frame.check('input[name="adminCheckbox"]');
    if (who) {
      await chooseInSelector(frame, 'img[alt="Add/Delete list of people who can modify this attribute"]',
                             'olsen', who);
    }
    await follow(frame, 'img[alt="Save"]');
    await frame.check('input[name="adminCheckbox"]');
    if (who) await frame.check('input[name="oper_uid_val"][value="' + who + '"]');
    await follow(frame, 'img[alt="Save"]');
    const shown = await bodyText(frame);
    const told = (await frame.$$('img[src$="menvelopeicon.gif"]')).length;
    check(/The following people can/.test(shown) && told === (who ? 2 : 1) &&
          /Mia Olsen/.test(shown) === Boolean(who), oper + ': modifiers and notify list saved: ' + shown);
    await shot('operation-' + oper);
  }
  await page.goto(consoleUrl);
}

async function accounts() {
  const main = await open('Generate all user accounts');
  await follow(main, 'img[alt="Generate accounts for all users"]');
  check((await main.textContent('h2')) === 'All accounts were successfully generated. !!',
        'the accounts are generated');
  await shot('accounts');
}

// A request the console does not know answers with the bug report page,
// which takes over the whole window (so the frame's own navigation never ends).
async function errorPage() {
  const main = await frameNamed('application_main');
  await main.goto(programUrl('noSuchPage')).catch(() => {});
  await page.waitForFunction(() => /Bug Report Form/.test(document.body ? document.body.innerHTML : ''),
                             null, { timeout: 10000 }).catch(() => {});
  check(page.frames().length === 1 && /Bug Report Form/.test(await page.content()),
        'an error page replaces the frame set');
  await shot('error');
}

// A page of the same host on another port, opened while the administrator is
// logged in, loads an image and posts a form that would make tsato an
// administrator. Neither changes anything.
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
    check(/The change was not made: the request did not come from the console/.test(
      await other.content()), 'a form posted from another port is refused');
    await other.goto(programUrl('genDirAdminsConfPage'));
    const admins = await values(other, 'input[name="dirAdminUidVal"]');
    check(!admins.includes('tsato'), 'the administrators are unchanged: ' + admins);
    await other.close();
  } finally {
    foreign.close();
  }
}

// Logout after its confirmation, then the new administrator logs in where
// the login was asked for.
async function logout() {
  await page.goto(consoleUrl);
  expectedDialog = 'Do you really want to logout ?';
  await Promise.all([page.waitForNavigation(),
                     (await frameNamed('application_navbar')).click('img[alt="Logout"]')]);
  await page.waitForLoadState('load');
  check(page.frames().length === 1 && /You have been logged out/.test(await page.content()),
        'logout shows the login page in the whole window');
  await page.goto(programUrl('navbar'));
  check((await page.title()) === 'Directory Administration - Login', 'after logout the console asks for a login');
  await shot('logout');
  await logIn('molsen', newAdminPassword);
  check((await page.$('img[alt="Customize Photos"]')) !== null,
        'the new administrator logs in and gets the page asked for');
}

async function main() {
  context = await chromium.launchPersistentContext(profileDir, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    viewport: { width: 1100, height: 720 },
    acceptDownloads: true,
  });
  context.on('weberror', (error) => problems.push('script error: ' + error.error().message));
  context.on('console', (message) => {
    if (message.type() === 'error') problems.push('console error: ' + message.text());
  });
  context.on('page', watchDialogs);
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
    page = context.pages()[0] || (await context.newPage());
    watchDialogs(page);
    for (const flow of [login, () => labels('Customize Business Card', 'card'),
      () => labels('Customize Person Page', 'person'), additionalFields, importWithDownload,
      employeeData, photos, administrators, accessControl, accounts, errorPage, foreignPage,
      logout]) {
      await flow();
      if (expectedDialog) check(false, 'the confirmation was not asked: ' + expectedDialog);
    }
  } finally {
    await context.close();
  }
  for (const problem of problems) console.log('problem: ' + problem);
  check(problems.length === 0, 'no script error, console error, failed request or unexpected dialog');
}

main().then(
  () => {
    console.log(failures.length ? failures.length + ' checks failed' : 'all checks passed');
    process.exit(failures.length ? 1 : 0);
  },
  (error) => {
    for (const problem of problems) console.log('problem: ' + problem);
    console.log('FAILED ' + (error && error.stack ? error.stack : error));
    process.exit(1);
  });
