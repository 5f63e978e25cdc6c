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
