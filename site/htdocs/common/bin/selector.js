// Chooser windows: the pages that open the person or group selector keep it
// in the variable "child" and close it when they are left; the selector's own
// pages close themselves.

function CloseWindow() {
	window.close();
}

function SelectorWindowClose() {
	if (window.opener && !window.opener.closed) {
		window.opener.focus();
	}
}

function SelectorQuit() {
	if (window.opener && !window.opener.closed) {
		window.opener.focus();
	}
	window.close();
}

function CloseChild() {
	if (typeof child != "undefined" && child && !child.closed) {
		child.close();
	}
}

// The selector's last page: loads its return link (the hidden field "back")
// in the window that opened the selector, which then reads the choice from
// the cookies, and closes the selector.
function SelectorReturn() {
	var form = document.forms["selectorDone"];
	var back = form && form.elements["back"] ? form.elements["back"].value : "";
	if (window.opener && !window.opener.closed) {
		if (back != "") {
			window.opener.location.href = back;
		}
		window.opener.focus();
	}
	window.close();
}
