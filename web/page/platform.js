// The page under a school's learning platform (SCORM 1.2): the platform's API
// found as the standard discovery finds it, the attempt opened, its answers
// restored from cmi.suspend_data and kept there, the score given whenever the
// questions solved change, the attempt suspended when the page is left. The
// platform may be another site, may err, throw or lie: every access is
// guarded and nothing it answers stops the game. What is written (the suspend
// data, the score) is the grading module's to decide; this script only talks.
'use strict';

// The `API` object of `start` or of a window it is framed in, nearest first,
// then of the window that opened it and those it is framed in; null when none.
function zorbelFindPlatformApi(start) {
  const MaxDepth = 64;  // a window whose parents never end is lying
  const apiOf = (view) => {
    try {
      const found = view.API;
      return found && typeof found.LMSInitialize === 'function' ? found : null;
    } catch (foreign) {
      return null;  // another site's window
    }
  };
  const parentOf = (view) => {
    try {
      const parent = view.parent;
      return parent && parent !== view ? parent : null;
    } catch (foreign) {
      return null;
    }
  };
  const search = (first) => {
    let view = first;
    for (let depth = 0; view && depth < MaxDepth; depth += 1) {
      const found = apiOf(view);
      if (found) return found;
      view = parentOf(view);
    }
    return null;
  };
  let opener = null;
  try {
    opener = start.opener;
  } catch (foreign) {
    opener = null;
  }
  return search(start) || search(opener);
}

// SCORM 1.2's CMITimespan (HHHH:MM:SS.SS) of a duration in milliseconds.
function zorbelSessionTime(milliseconds) {
  const hundredths = Math.min(Math.max(Math.round(milliseconds / 10), 0), 9999 * 360000 + 359999);
  const two = (n) => String(n).padStart(2, '0');
  const hours = Math.floor(hundredths / 360000);
  const minutes = Math.floor(hundredths / 6000) % 60;
  const seconds = Math.floor(hundredths / 100) % 60;
  return `${two(hours)}:${two(minutes)}:${two(seconds)}.${two(hundredths % 100)}`;
}

// The attempt opened on the platform of `lms`, or null when it would not open
// one (the page then keeps the answers itself). `game` is the grading
// module's API (module_api.js); `tell` shows the player one line; `passMark`,
// the percentage set at export (null for none), unless the platform gives
// its own mastery score.
function zorbelPlatform(lms, game, tell, passMark = null) {
  const openedAt = Date.now();
  let finished = false;
  let uncommitted = false;
  let keptData = null;  // the suspend data last given
  let scoredSolved = 0;  // the questions solved when the score was last given
  let toldError = false;
  let toldLeftOut = false;

  // A call's answer as text; null when the call threw.
  const call = (name, ...args) => {
    try {
      const answer = lms[name](...args);
      return answer === undefined || answer === null ? '' : String(answer);
    } catch (thrown) {
      return null;
    }
  };
  const errorCode = () => {
    const code = call('LMSGetLastError');
    return code === null ? '?' : code.trim() || '0';
  };
  const done = (name, ...args) => {
    if (call(name, ...args) === 'true') return true;
    if (!toldError) {
      toldError = true;
      tell(`La plateforme signale une erreur (${errorCode()}) : elle ne garde peut-être pas vos réponses. Le jeu continue.`);
    }
    return false;
  };
  const read = (element) => {
    const value = call('LMSGetValue', element);
    return value !== null && errorCode() === '0' ? value : '';
  };
  const write = (element, value) => {
    done('LMSSetValue', element, value);
    uncommitted = true;
  };
  const commit = () => {
    if (finished || !uncommitted) return;
    uncommitted = false;
    done('LMSCommit', '');
  };

  if (call('LMSInitialize', '') !== 'true') {
    tell(`La plateforme n'a pas ouvert la tentative (erreur ${errorCode()}) : les réponses sont gardées dans ce navigateur.`);
    return null;
  }

  // Whenever the questions solved change, the score and the status first.
  function keep() {
    if (finished) return;
    const solved = game.solvedCount();
    const scored = solved !== scoredSolved;
    if (scored) {
      scoredSolved = solved;
      write('cmi.core.score.raw', String(game.platformScore()));
      write('cmi.core.score.min', '0');
      write('cmi.core.score.max', '100');
      write('cmi.core.lesson_status', game.lessonStatus(passMark));
    }
    const data = game.suspendData();
    if (data.text !== keptData) {
      keptData = data.text;
      write('cmi.suspend_data', data.text);
    }
    if (data.leftOut > 0 && !toldLeftOut) {
      toldLeftOut = true;
      tell('Vos réponses sont trop longues pour la plateforme : les plus longues ne seront pas retrouvées à la prochaine visite. Le jeu continue.');
    }
    if (scored) commit();
  }

  return {
    // The progress file's bytes of the attempt's answers; none on a first visit.
    restored() {
      keptData = read('cmi.suspend_data');
      return game.progressOfSuspendData(keptData) || new Uint8Array(0);
    },
    // Once the game has started. A platform may count a SCO that never says
    // as completed: an attempt just opened is incomplete, with no score.
    begin() {
      const mastery = read('cmi.student_data.mastery_score').trim();
      if (/^\d+(\.\d+)?$/.test(mastery) && Number(mastery) <= 100) passMark = Math.ceil(Number(mastery));
      scoredSolved = game.solvedCount();
      if (keptData === '') keptData = game.suspendData().text;  // nothing typed yet: nothing to write
      const status = read('cmi.core.lesson_status');
      if (status === '' || status === 'not attempted') {
        write('cmi.core.lesson_status', 'incomplete');
        commit();
      }
    },
    keep,
    commit,
    // The page is left: what is typed kept, the time spent said, the attempt suspended, not ended.
    finish() {
      if (finished) return;
      keep();
      write('cmi.core.session_time', zorbelSessionTime(Date.now() - openedAt));
      write('cmi.core.exit', 'suspend');
      finished = true;
      done('LMSFinish', '');
    },
    finished: () => finished,
  };
}

if (typeof module === 'object' && module.exports) module.exports = { zorbelFindPlatformApi, zorbelPlatform, zorbelSessionTime };
