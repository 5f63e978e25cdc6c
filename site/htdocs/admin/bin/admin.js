// Functions of the administrator programs' pages (field headings and their
// order, additional information fields, choice of directory administrators).
// The program copies single functions out of this file: each starts on a line
// "function NAME" and ends at the first line that begins with "}".

// Order pages: moves row "whichone" up or down and sends the form again.
function arrowActionsubmitForm(direction, row) {
	var form = document.forms["createform"];
	if (!form) {
		return;
	}
	form.elements["direction"].value = direction;
	form.elements["whichone"].value = row;
	form.submit();
}

// True when another heading field ("Desc_...") of "createform" than the one
// named skip already holds the heading name (compared without case).
function IsNamePropertyExists(name, skip) {
	var form = document.forms["createform"];
	var wanted = String(name || "").replace(/^\s+|\s+$/g, "").toLowerCase();
	if (!form || wanted == "") {
		return false;
	}
	for (var i = 0; i < form.elements.length; i++) {
		var field = form.elements[i];
		if (field.name && field.name.indexOf("Desc_") == 0 && field.name != skip &&
				field.value.replace(/^\s+|\s+$/g, "").toLowerCase() == wanted) {
			return true;
		}
	}
	return false;
}

// Additional information fields: every heading filled in and unique, every
// size a whole number; then the form is sent.
function validateAdditionalFieldsSubmitForm() {
	var form = document.forms["createform"];
	if (!form) {
		return;
	}
	for (var i = 0; i < form.elements.length; i++) {
		var field = form.elements[i];
		if (!field.name) {
			continue;
		}
		if (field.name.indexOf("Desc_") == 0) {
			if (/^\s*$/.test(field.value)) {
				alert("Please enter a heading for every field.");
				return field.focus();
			}
			if (typeof IsNamePropertyExists == "function" &&
					IsNamePropertyExists(field.value, field.name)) {
				alert("The heading " + field.value + " is used twice. Please give every field its own heading.");
				return field.focus();
			}
		} else if (field.name.indexOf("Size_") == 0) {
			if (!/^[0-9]+$/.test(field.value)) {
				alert("Please enter the size of every field as a whole number.");
				return field.focus();
			}
		}
	}
	form.method = "POST";
	form.submit();
}

// New additional information field: a heading and a whole-number size.
function validateAddAddnlFieldSubmitForm() {
	var form = document.forms["createform"];
	if (!form) {
		return;
	}
	if (/^\s*$/.test(form.elements["fldheading"].value)) {
		alert("Please enter the heading of the new field.");
		return form.elements["fldheading"].focus();
	}
	if (!/^[0-9]+$/.test(form.elements["size"].value)) {
		alert("Please enter the size of the new field as a whole number.");
		return form.elements["size"].focus();
	}
	form.method = "POST";
	form.submit();
}

// Opens the person selector to choose the directory administrators; the
// selector loads returnLink when it is done. The link comes encoded, but a
// javascript: link is decoded by the browser before it runs, so it is
// encoded again here (once, whichever way it arrives).
function dirAdminsSelector(selectorUrl, returnLink) {
	var address = selectorUrl + "?program=front&selector_mode=multi" +
		"&return_url=" + encodeURIComponent(decodeURIComponent(returnLink));
	var opened = window.open(address, "KavriSelector",
		"width=640,height=520,resizable=yes,scrollbars=yes");
	if (typeof child != "undefined") {
		child = opened;
	}
	if (opened) {
		opened.focus();
	}
}
