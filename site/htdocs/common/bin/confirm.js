// Confirmation dialogs of the console's links. A link calls one of these
// with its question and the address to load; after a yes the address is
// loaded where the link itself points: its target frame, the whole window for
// "_top", or the link's own frame. The program copies single functions out of
// this file, so each one stands on its own.
//
// A "javascript:" link with a target runs its call in the target window, so
// the functions that follow links also put a copy of themselves into the top
// window (made there, so that it outlives the frame that made it) and look
// for the link in every frame.

function MyConfirm(message, url) {
	if (!confirm(message)) {
		return;
	}
	var target = "";
	var found = false;
	var look = function (win) {
		try {
			var links = win.document.links;
			for (var i = 0; !found && i < links.length; i++) {
				var href = links[i].getAttribute("href") || "";
				if (href.indexOf("MyConfirm(") >= 0 && href.indexOf(url) >= 0) {
					target = links[i].target;
					found = true;
				}
			}
			for (var j = 0; !found && j < win.frames.length; j++) {
				look(win.frames[j]);
			}
		} catch (e) {
			return;
		}
	};
	look(window.top);
	if (target == "_top") {
		window.top.location.href = url;
	} else if (target == "_parent") {
		window.parent.location.href = url;
	} else if (target && target != "_self") {
		window.open(url, target);
	} else {
		window.location.href = url;
	}
} if (window.top && window.top !== window.self) { try { window.top.MyConfirm = window.top.Function("return " + MyConfirm.toString())(); } catch (e) { } }

function ConfirmDelete(message, url) {
	if (!confirm(message)) {
		return;
	}
	var target = "";
	var found = false;
	var look = function (win) {
		try {
			var links = win.document.links;
			for (var i = 0; !found && i < links.length; i++) {
				var href = links[i].getAttribute("href") || "";
				if (href.indexOf("ConfirmDelete(") >= 0 && href.indexOf(url) >= 0) {
					target = links[i].target;
					found = true;
				}
			}
			for (var j = 0; !found && j < win.frames.length; j++) {
				look(win.frames[j]);
			}
		} catch (e) {
			return;
		}
	};
	look(window.top);
	if (target == "_top") {
		window.top.location.href = url;
	} else if (target == "_parent") {
		window.parent.location.href = url;
	} else if (target && target != "_self") {
		window.open(url, target);
	} else {
		window.location.href = url;
	}
} if (window.top && window.top !== window.self) { try { window.top.ConfirmDelete = window.top.Function("return " + ConfirmDelete.toString())(); } catch (e) { } }

function ConfirmClear(message, url) {
	if (!confirm(message)) {
		return;
	}
	var target = "";
	var found = false;
	var look = function (win) {
		try {
			var links = win.document.links;
			for (var i = 0; !found && i < links.length; i++) {
				var href = links[i].getAttribute("href") || "";
				if (href.indexOf("ConfirmClear(") >= 0 && href.indexOf(url) >= 0) {
					target = links[i].target;
					found = true;
				}
			}
			for (var j = 0; !found && j < win.frames.length; j++) {
				look(win.frames[j]);
			}
		} catch (e) {
			return;
		}
	};
	look(window.top);
	if (target == "_top") {
		window.top.location.href = url;
	} else if (target == "_parent") {
		window.parent.location.href = url;
	} else if (target && target != "_self") {
		window.open(url, target);
	} else {
		window.location.href = url;
	}
} if (window.top && window.top !== window.self) { try { window.top.ConfirmClear = window.top.Function("return " + ConfirmClear.toString())(); } catch (e) { } }

function ConfirmDeleteMeeting(message, url) {
	if (confirm(message)) {
		window.location.href = url;
	}
}

// Submits the page's form after a yes.
function ConfirmDeleteMeetingSubmit(message) {
	if (!confirm(message)) {
		return;
	}
	var form = document.forms["createform"] || document.forms[0];
	if (form) {
		form.submit();
	}
}
