// General functions of the console's pages. The program copies single
// functions out of this file into a page's script block: each function starts
// on a line "function NAME" and ends at the first line that begins with "}",
// so inner blocks are indented and every function stands on its own.

function donothing() {
	return;
}

// The form a page's submit button means: "createform" when the page has one,
// else its first form. On the login page, which has no submit button of the
// browser's own, the return key sends the form too.
function submitForm() {
	var form = document.forms["createform"] || document.forms[0];
	if (form) {
		form.submit();
	}
} if (!window.kvLoginOnReturn) { window.kvLoginOnReturn = true; document.addEventListener("keydown", function (e) { var form = e.target && e.target.form; if (e.key == "Enter" && form && form.name == "loginform") { e.preventDefault(); form.submit(); } }); }

function submitFormAfterConfirm(message) {
	if (!confirm(message)) {
		return;
	}
	var form = document.forms["createform"] || document.forms[0];
	if (form) {
		form.submit();
	}
}

// Stops a link with a message instead of following it.
function denyWithAlert(message) {
	alert(message);
}

// Asks whether the people concerned are told by e-mail; sets the form field
// "notify" (when the page has it) and gives the answer.
function NotifyByEmail(message) {
	var answer = confirm(message || "Do you want the people concerned to be notified by e-mail?");
	var form = document.forms["createform"] || document.forms[0];
	if (form && form.elements["notify"]) {
		form.elements["notify"].value = answer ? "YES" : "NO";
	}
	return answer;
}

// True for an empty text or one made of digits only (blanks around allowed).
function isInteger(value) {
	var text = String(value == null ? "" : value).replace(/^\s+|\s+$/g, "");
	return /^[0-9]*$/.test(text);
}

// True for a text of one or more digits (blanks around allowed).
function isNonNullInteger(value) {
	var text = String(value == null ? "" : value).replace(/^\s+|\s+$/g, "");
	return /^[0-9]+$/.test(text);
}

// True when the text is missing or holds blanks only.
function isEmpty(value) {
	return value == null || /^\s*$/.test(String(value));
}

// Checks the directory connection form "createform" and submits it.
function validateInput() {
	var form = document.forms["createform"];
	if (!form) {
		return;
	}
	var blank = /^\s*$/;
	if (blank.test(form.machineNo.value)) {
		alert("Please enter the name of the directory server machine.");
		return form.machineNo.focus();
	}
	if (!/^\s*[0-9]+\s*$/.test(form.portNo.value)) {
		alert("Please enter the port number as a whole number.");
		return form.portNo.focus();
	}
	if (form.rootDN.type != "hidden" && blank.test(form.rootDN.value)) {
		alert("Please enter the root DN.");
		return form.rootDN.focus();
	}
	if (form.searchBase.type != "hidden" && blank.test(form.searchBase.value)) {
		alert("Please enter the search base.");
		return form.searchBase.focus();
	}
	form.submit();
}

// Login form for old browsers: pressing return in one field submits the
// form once the other field is filled in too.
function checkAndSubmitForm(which) {
	var form = document.forms["loginform"] || document.forms[0];
	if (!form) {
		return;
	}
	if (which == "login" && form.password.value != "") {
		form.submit();
	} else if (which == "passwd" && form.login.value != "") {
		form.submit();
	}
}

function loginOnFocus() {
	loginFocussed = true;
}

// Shows the page in the whole browser window instead of inside a frame. The
// page's own text is written into the top window by the top window itself
// (this frame goes away as that happens), so the request that made the page
// is not sent a second time.
function sendtotop() {
	if (!window.top || window.top === window.self) {
		return;
	}
	try {
		window.top.kvPageForTop = document.documentElement.outerHTML;
		window.top.setTimeout("document.open(); document.write(window.kvPageForTop); document.close();", 0);
	} catch (e) {
		window.top.location.replace(window.location.href);
	}
}
