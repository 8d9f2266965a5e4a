// The notice line under the title bar: a problem with the user's last action, else what was
// wrong with the link the page was opened with (kept until the user sets a screen up again).
let linkNotice = '';

export function setLinkNotice(text) {
  linkNotice = text;
  showNotice('');
}

export function clearLinkNotice() {
  linkNotice = '';
}

export function showNotice(text) {
  const notice = document.getElementById('notice');
  notice.textContent = text || linkNotice;
  notice.hidden = !notice.textContent;
}
