// The help (F1): the help document beside the window, not modal, with the
// figures this program works out.
'use strict';

// isClosing: whether the session has ended.
function wireHelp(session, isClosing) {
  const help = document.getElementById('help');
  help.querySelector('button').addEventListener('click', () => help.close());
  help.addEventListener('keydown', (event) => { if (event.key === 'Escape') help.close(); });
  async function helpDocument() {
    try {
      const response = await fetch('ayuda.html');
      if (response.ok) return session.help(await response.text());
    } catch (error) {
      console.error(error);
    }
    return '<p lang="es">No se encuentra el texto de la ayuda.</p>';
  }
  addEventListener('keydown', async (event) => {
    if (event.key !== 'F1' || isClosing()) return;
    event.preventDefault();
    if (!help.open) {
      document.getElementById('help-text').srcdoc = await helpDocument();
      help.show();
    }
    help.querySelector('button').focus();
  });
}
