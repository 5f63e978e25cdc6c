// Confirmation dialogs of the console's links. A link calls one of these
// with its question and the address to load; after a yes the address is
// loaded where the link itself points (its target frame, the whole window
// for "_top", or the link's own frame). The program copies single functions
// out of this file, so each one stands on its own.

function MyConfirm(message, url) {
	if (!confirm(message)) {
		return;
	}
	var target = "";
	for (var i = 0; i < document.links.length; i++) {
		var href = document.links[i].getAttribute("href") || "";
		if (href.indexOf("MyConfirm(") >= 0 && href.indexOf(url) >= 0) {
			target = document.links[i].target;
			break;
		}
	}
	if (target == "_top") {
		window.top.location.href = url;
	} else if (target == "_parent") {
		window.parent.location.href = url;
	} else if (target && target != "_self") {
		window.open(url, target);
	} else {
		window.location.href = url;
	}
}

function ConfirmDelete(message, url) {
	if (!confirm(message)) {
		return;
	}
	var target = "";
	for (var i = 0; i < document.links.length; i++) {
		var href = document.links[i].getAttribute("href") || "";
		if (href.indexOf("ConfirmDelete(") >= 0 && href.indexOf(url) >= 0) {
			target = document.links[i].target;
			break;
		}
	}
	if (target == "_top") {
		window.top.location.href = url;
	} else if (target && target != "_self") {
		window.open(url, target);
	} else {
		window.location.href = url;
	}
}

function ConfirmClear(message, url) {
	if (!confirm(message)) {
		return;
	}
	var target = "";
	for (var i = 0; i < document.links.length; i++) {
		var href = document.links[i].getAttribute("href") || "";
		if (href.indexOf("ConfirmClear(") >= 0 && href.indexOf(url) >= 0) {
			target = document.links[i].target;
			break;
		}
	}
	if (target == "_top") {
		window.top.location.href = url;
	} else if (target && target != "_self") {
		window.open(url, target);
	} else {
		window.location.href = url;
	}
}

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
